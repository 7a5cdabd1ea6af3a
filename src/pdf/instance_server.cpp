#include "pdf/instance_server.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

namespace pdf {

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {}

InstanceServer::~InstanceServer() {
    if (server_ && server_->isListening()) {
        server_->close();
        // Only our own socket: listen() checked the place, and the server made the file.
        if (socketProblem(path_).isEmpty()) QFile::remove(path_);
    }
}

bool InstanceServer::listen(const ChannelPlace& place) {
    problem_ = place.problem;
    if (place.socketPath.isEmpty()) return false;
    problem_ = socketProblem(place.socketPath);
    if (!problem_.isEmpty()) return false;
    if (QFile::exists(place.socketPath)) {
        QLocalSocket probe;
        probe.connectToServer(place.socketPath);
        if (probe.waitForConnected(500)) {
            problem_ = QStringLiteral("уже работает другое окно KolBAX");
            return false;
        }
        QLocalServer::removeServer(place.socketPath);
    }
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->setMaxPendingConnections(kMaxClients);
    connect(server_, &QLocalServer::newConnection, this, [this] { accept(); });
    if (!server_->listen(place.socketPath)) {
        problem_ = server_->errorString();
        return false;
    }
    path_ = place.socketPath;
    return true;
}

void InstanceServer::accept() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        if (clients_ >= kMaxClients) {
            client->abort();
            client->deleteLater();
            continue;
        }
        ++clients_;
        connect(client, &QObject::destroyed, this, [this] { --clients_; });
        connect(client, &QLocalSocket::readyRead, this, [this, client] { read(client); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        QTimer::singleShot(kClientTimeoutMs, client, [client] {
            client->abort();
            client->deleteLater();
        });
        read(client);
    }
}

void InstanceServer::read(QLocalSocket* client) {
    QByteArray received = client->property("received").toByteArray();
    received += client->read(kMaxRequestBytes + 1 - received.size());
    if (received.size() > kMaxRequestBytes) {
        client->abort();
        client->deleteLater();
        return;
    }
    client->setProperty("received", received);
    // A request ends with its third line break.
    if (received.count('\n') < 3) return;
    const std::optional<LineRequest> request = decodeRequest(received);
    client->write(request ? "OK\n" : "ERR\n");
    client->flush();
    client->disconnectFromServer();
    if (request) handle(*request);
}

void InstanceServer::handle(const LineRequest& request) {
    if (handling_) {
        pending_ = request;
        return;
    }
    handling_ = true;
    std::optional<LineRequest> next = request;
    while (next) {
        pending_.reset();
        if (onRequest) onRequest(*next);
        next = pending_;
    }
    handling_ = false;
}

} // namespace pdf
