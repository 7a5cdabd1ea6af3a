#include "platform/string_list.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace platform {

void StringList::loadFromFile(const std::string& path) {
    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const InOutError&) {
        throw FileOpenError(path);
    }
    setText(bytes);
}

void StringList::setText(std::string_view text) {
    items_.clear();
    size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            items_.emplace_back(text.substr(pos));
            break;
        }
        items_.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
}

void StringList::sort() {
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(items_.size());
    for (std::string& item : items_)
        keyed.emplace_back(fromCp1251(item), std::move(item));
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        items_[i] = std::move(keyed[i].second);
}

std::string StringList::nameOf(const std::string& entry) {
    size_t eq = entry.find('=');
    return eq == std::string::npos ? std::string() : entry.substr(0, eq);
}

std::string StringList::value(std::string_view name) const {
    for (const std::string& item : items_) {
        size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        if (equalIgnoringCase(std::string_view(item).substr(0, eq), name))
            return item.substr(eq + 1);
    }
    return {};
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upperCaseCp1251(static_cast<unsigned char>(a[i])) !=
            upperCaseCp1251(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace platform
