#pragma once
// The running editor's end of the --line socket (instance_channel.h). Each connection may
// send one request; a malformed or oversized one, or one that takes too long, is dropped.
// A flood cannot pile up work: at most kMaxClients connections are served at once, and
// requests that arrive while one is being handled (its save question may be up) replace
// one another, so only the newest waits.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "pdf/instance_channel.h"

class QLocalServer;
class QLocalSocket;

namespace pdf {

class InstanceServer : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMaxClients = 16;
    static constexpr int kClientTimeoutMs = 2000;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens at place. A socket left there by an editor that has ended is replaced; one
    // an editor still answers on, or one that is not this user's, is left alone (false,
    // with a note in problem()).
    bool listen(const ChannelPlace& place);
    QString problem() const { return problem_; }

    // Runs for each request taken, never while it runs already.
    std::function<void(const LineRequest&)> onRequest;

  private:
    void accept();
    void read(QLocalSocket* client);
    void handle(const LineRequest& request);

    QLocalServer* server_ = nullptr;
    QString path_;
    QString problem_;
    int clients_ = 0;
    bool handling_ = false;
    std::optional<LineRequest> pending_;
};

} // namespace pdf
