#include "project/bib_reader.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/errors.h"
#include "platform/recognition.h"
#include "platform/text_encoding.h"
#include "platform/textfile.h"
#include "project/project_files.h"

extern "C" {
#include <btparse.h>
}

namespace project {
namespace {

// btparse's lexer, its macro table and its error counts are globals of the library.
std::mutex& btparseLock() {
    static std::mutex lock;
    return lock;
}

void initialiseBtparse() {
    static std::once_flag once;
    std::call_once(once, [] { bt_initialize(); });
}

// Where each line of the bytes starts, and the text of a run of them in the file's encoding.
class ByteLines {
  public:
    ByteLines(std::string_view bytes, platform::TextEncoding encoding)
        : bytes_(bytes), encoding_(encoding) {
        starts_.push_back(0);
        for (const char* p = bytes.data();
             (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + bytes.size() - p)));)
            starts_.push_back(static_cast<size_t>(++p - bytes.data()));
    }

    QString decode(std::string_view run) const {
        return platform::decodeText(run, encoding_).decoded.text;
    }

    // The place of an entry's key, looked for after the "@type{" that starts on line
    // (from 0).
    Place keyPlace(int line, std::string_view key) const {
        if (line < 0 || static_cast<size_t>(line) >= starts_.size()) return Place{-1, line, 0, 0};
        size_t at = bytes_.find('@', starts_[static_cast<size_t>(line)]);
        if (at != std::string_view::npos) at = bytes_.find_first_of("{(", at);
        if (at == std::string_view::npos) return Place{-1, line, 0, 0};
        ++at;
        while (at < bytes_.size() && std::strchr(" \t\r\n", bytes_[at]) != nullptr) {
            if (bytes_[at] == '\n') ++line;
            ++at;
        }
        if (bytes_.compare(at, key.size(), key) != 0) return Place{-1, line, 0, 0};
        const size_t lineStart = starts_[static_cast<size_t>(line)];
        const auto column = decode(bytes_.substr(lineStart, at - lineStart)).size();
        return Place{-1, line, static_cast<int>(column), static_cast<int>(decode(key).size())};
    }

  private:
    std::string_view bytes_;
    platform::TextEncoding encoding_;
    std::vector<size_t> starts_;
};

// The bytes as a FILE for btparse, which ends them early once the reading is cancelled:
// btparse must itself meet the end of a file to be ready for the next one.
struct ByteSource {
    std::string_view bytes;
    size_t at = 0;
    const std::atomic<bool>* cancel = nullptr;

    static ssize_t read(void* cookie, char* buffer, size_t size) {
        auto* source = static_cast<ByteSource*>(cookie);
        if (source->cancel != nullptr && source->cancel->load(std::memory_order_relaxed)) return 0;
        const size_t count = std::min(size, source->bytes.size() - source->at);
        std::memcpy(buffer, source->bytes.data() + source->at, count);
        source->at += count;
        return static_cast<ssize_t>(count);
    }
};

QString fieldText(AST* field, const ByteLines& lines) {
    // The field's value, made afresh by btparse for its caller to free.
    const std::unique_ptr<char, void (*)(void*)> text(bt_get_text(field), std::free);
    return text == nullptr ? QString() : lines.decode(text.get());
}

BibEntry entryOf(AST* entry, const ByteLines& lines) {
    BibEntry result;
    const char* key = bt_entry_key(entry);
    const char* type = bt_entry_type(entry);
    result.key = lines.decode(key);
    result.type = type == nullptr ? QString() : lines.decode(type);
    result.at = lines.keyPlace(entry->line - 1, key);
    char* name = nullptr;
    for (AST* field = nullptr; (field = bt_next_field(entry, field, &name)) != nullptr;) {
        if (std::strcmp(name, "author") == 0) {
            result.author = fieldText(field, lines);
        } else if (std::strcmp(name, "year") == 0) {
            result.year = fieldText(field, lines);
        } else if (std::strcmp(name, "title") == 0) {
            result.title = fieldText(field, lines);
        } else if (std::strcmp(name, "editor") == 0 && result.author.isEmpty()) {
            result.author = fieldText(field, lines);
        }
    }
    return result;
}

} // namespace

BibFile parseBib(std::string_view bytes, const std::atomic<bool>* cancel) {
    BibFile result;
    const platform::Recognition recognised = platform::recogniseEncoding(bytes);
    if (bytes.empty()) return result;
    if (recognised.utf16 || bytes.find('\0') != std::string_view::npos) {
        result.note = unreadableNote(QStringLiteral("это двоичный файл"));
        return result;
    }
    const ByteLines lines(bytes, recognised.encoding);
    std::lock_guard<std::mutex> lock(btparseLock());
    initialiseBtparse();
    ByteSource source{bytes, 0, cancel};
    FILE* file = fopencookie(&source, "r", {ByteSource::read, nullptr, nullptr, nullptr});
    if (file == nullptr) {
        result.note = unreadableNote(QStringLiteral("нет памяти"));
        return result;
    }
    char name[] = "bib";
    boolean ok = 1;
    bool forgotten = false; // btparse has let go of the file
    for (;;) {
        const bool atEnd = std::feof(file) != 0;
        AST* const entry = bt_parse_entry(file, name, 0, &ok);
        if (entry == nullptr) {
            forgotten = atEnd;
            break;
        }
        const std::unique_ptr<AST, void (*)(AST*)> owned(entry, bt_free_ast);
        const char* key = bt_entry_key(entry);
        if (!ok) {
            result.errors.push_back(
                BibError{entry->line - 1,
                         key == nullptr
                             ? QStringLiteral("Запись не читается: ошибка в её записи")
                             : QStringLiteral("Запись «%1» не читается целиком: ошибка в её записи")
                                   .arg(lines.decode(key))});
        }
        if (bt_entry_metatype(entry) != BTE_REGULAR || key == nullptr) continue;
        result.entries.push_back(entryOf(entry, lines));
    }
    // btparse forgets a file only when a call finds it at its end already; a reading that
    // ended inside an entry (cut short, or junk at the end) would otherwise leave it
    // remembered, and the next file would stop the program ("can't interleave calls").
    if (!forgotten) bt_parse_entry(file, name, 0, &ok);
    std::fclose(file);
    bt_delete_all_macros(); // the @string macros of one file are not another's
    return result;
}

BibFile readBib(const QString& path, const std::atomic<bool>* cancel) {
    BibFile result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.note = missingNote();
    } else if (info.size() > kMaxFileBytes) {
        result.note = tooLargeNote();
    } else {
        try {
            result = parseBib(platform::readFileBytes(path), cancel);
        } catch (const platform::RuntimeError&) {
            result.note = unreadableNote(QStringLiteral("нет доступа или ошибка чтения"));
        }
    }
    result.path = path;
    return result;
}

} // namespace project
