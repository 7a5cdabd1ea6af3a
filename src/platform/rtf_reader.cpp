#include "platform/rtf_reader.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/codepage.h"

namespace platform {
namespace {

// The Windows Western code page (CP1252) where it differs from Latin-1: 0x80 to 0x9F.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char unicodeToByte(char16_t ch) {
    unsigned char byte;
    return unicodeToCp1251(ch, byte) ? static_cast<char>(byte) : '?';
}

enum class Destination : unsigned char { Text, Skip, FontTable, ColorTable };

enum class Word : unsigned char {
    Unknown,
    Rtf,
    Ansicpg,
    Deff,
    Fonttbl,
    Colortbl,
    SkipDestination,
    Plain,
    Font,
    FontCharset,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    UnderlineOther,
    ColorIndex,
    Red,
    Green,
    Blue,
    Par,
    Line,
    Tab,
    Cell,
    Emdash,
    Endash,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Bullet,
    Unicode,
    UnicodeSkip,
    Bin,
};

const std::unordered_map<std::string_view, Word>& keywords() {
    static const std::unordered_map<std::string_view, Word> table = [] {
        std::unordered_map<std::string_view, Word> t = {
            {"rtf", Word::Rtf},
            {"ansicpg", Word::Ansicpg},
            {"deff", Word::Deff},
            {"fonttbl", Word::Fonttbl},
            {"colortbl", Word::Colortbl},
            {"plain", Word::Plain},
            {"f", Word::Font},
            {"fcharset", Word::FontCharset},
            {"fs", Word::FontSize},
            {"b", Word::Bold},
            {"i", Word::Italic},
            {"ul", Word::Underline},
            {"ulnone", Word::UnderlineNone},
            {"cf", Word::ColorIndex},
            {"red", Word::Red},
            {"green", Word::Green},
            {"blue", Word::Blue},
            {"par", Word::Par},
            {"sect", Word::Par},
            {"row", Word::Par},
            {"line", Word::Line},
            {"tab", Word::Tab},
            {"cell", Word::Cell},
            {"emdash", Word::Emdash},
            {"endash", Word::Endash},
            {"lquote", Word::Lquote},
            {"rquote", Word::Rquote},
            {"ldblquote", Word::Ldblquote},
            {"rdblquote", Word::Rdblquote},
            {"bullet", Word::Bullet},
            {"u", Word::Unicode},
            {"uc", Word::UnicodeSkip},
            {"bin", Word::Bin},
        };
        for (std::string_view w : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                   "ulth", "ulw", "ulwave", "ulthd", "ulthdash"})
            t.emplace(w, Word::UnderlineOther);
        for (std::string_view w : {"stylesheet",
                                   "info",
                                   "pict",
                                   "object",
                                   "header",
                                   "headerl",
                                   "headerr",
                                   "headerf",
                                   "footer",
                                   "footerl",
                                   "footerr",
                                   "footerf",
                                   "footnote",
                                   "annotation",
                                   "fldinst",
                                   "listtable",
                                   "listoverridetable",
                                   "revtbl",
                                   "rsidtbl",
                                   "filetbl",
                                   "xmlnstbl",
                                   "themedata",
                                   "colorschememapping",
                                   "latentstyles",
                                   "datastore",
                                   "generator",
                                   "nonshppict",
                                   "shppict",
                                   "shpinst",
                                   "bkmkstart",
                                   "bkmkend",
                                   "txe",
                                   "xe",
                                   "tc",
                                   "template",
                                   "userprops",
                                   "pntxta",
                                   "pntxtb",
                                   "atnid",
                                   "atnauthor",
                                   "private"})
            t.emplace(w, Word::SkipDestination);
        return t;
    }();
    return table;
}

struct GroupState {
    Destination destination = Destination::Text;
    int font = -1; // -1: the default font
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;
    int colorIndex = 0;
    int unicodeSkip = 1;
};

class Reader {
  public:
    explicit Reader(std::string_view input) : in_(input) {}

    std::vector<TextRun> read() {
        stack_.reserve(64);
        // The opening brace of the document.
        pos_ = 1;
        depth_ = 1;
        while (pos_ < in_.size() && depth_ > 0)
            step();
        std::vector<TextRun> runs;
        runs.reserve(runs_.size());
        for (CodePageRun& run : runs_) {
            run.format.text = fromCp1251(run.text);
            runs.push_back(std::move(run.format));
        }
        return runs;
    }

  private:
    void step() {
        char c = in_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            pendingSkip_ = 0;
            if (static_cast<int>(stack_.size()) + 1 < kRtfMaxGroupDepth)
                stack_.push_back(state_);
            else
                ++excessDepth_;
            ++depth_;
            return;
        case '}':
            ++pos_;
            pendingSkip_ = 0;
            --depth_;
            closeGroup();
            return;
        case '\\':
            ++pos_;
            control();
            return;
        case '\r':
        case '\n':
        case '\0':
            ++pos_;
            return;
        default:
            text();
            return;
        }
    }

    void closeGroup() {
        if (excessDepth_ > 0) {
            --excessDepth_;
            return;
        }
        if (stack_.empty()) return;
        if (state_.destination == Destination::ColorTable && colorPending_) finishColor();
        state_ = stack_.back();
        stack_.pop_back();
    }

    // A stretch of ordinary text bytes.
    void text() {
        size_t start = pos_;
        while (pos_ < in_.size()) {
            char c = in_[pos_];
            if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\0') break;
            ++pos_;
        }
        std::string_view chunk = in_.substr(start, pos_ - start);
        if (state_.destination == Destination::ColorTable) {
            for (char c : chunk)
                if (c == ';') finishColor();
            return;
        }
        if (state_.destination != Destination::Text) return;
        if (pendingSkip_ > 0) {
            size_t skipped = std::min<size_t>(static_cast<size_t>(pendingSkip_), chunk.size());
            pendingSkip_ -= static_cast<int>(skipped);
            chunk.remove_prefix(skipped);
        }
        if (!chunk.empty()) run().append(chunk);
    }

    // One character produced by a control word or symbol.
    void put(char byte) {
        if (state_.destination != Destination::Text) return;
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        run().push_back(byte);
    }

    void control() {
        if (pos_ >= in_.size()) return;
        char c = in_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            symbol(c);
            return;
        }
        size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        std::string_view name = in_.substr(start, pos_ - start);
        bool hasParameter = false;
        int32_t parameter = 0;
        if (pos_ < in_.size() && (in_[pos_] == '-' || isDigit(in_[pos_]))) {
            bool negative = in_[pos_] == '-';
            if (negative) ++pos_;
            int64_t value = 0;
            while (pos_ < in_.size() && isDigit(in_[pos_])) {
                value = std::min<int64_t>(value * 10 + (in_[pos_] - '0'), INT32_MAX);
                ++pos_;
            }
            parameter = static_cast<int32_t>(negative ? -value : value);
            hasParameter = true;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        if (name.size() > 32) return;
        auto found = keywords().find(name);
        word(found == keywords().end() ? Word::Unknown : found->second, hasParameter, parameter);
    }

    void symbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            put(c);
            return;
        case '~':
            put(static_cast<char>(0xA0));
            return;
        case '_':
            put('-');
            return;
        case '*':
            state_.destination = Destination::Skip;
            return;
        case '\r':
        case '\n':
            put('\n');
            return;
        case '\'':
            hex();
            return;
        default: // \- (optional hyphen), \| and the others show nothing
            return;
        }
    }

    void hex() {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            int digit = pos_ < in_.size() ? hexDigit(in_[pos_]) : -1;
            if (digit < 0) return;
            value = value * 16 + digit;
            ++pos_;
        }
        if (state_.destination == Destination::ColorTable) return;
        unsigned char byte = static_cast<unsigned char>(value);
        if (byte >= 0x80 && currentCodePage() == 1252) {
            char16_t ch = byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
            put(unicodeToByte(ch));
        } else if (byte != 0) {
            put(static_cast<char>(byte));
        }
    }

    void word(Word w, bool hasParameter, int32_t parameter) {
        const bool on = !hasParameter || parameter != 0;
        switch (w) {
        case Word::Unknown:
        case Word::Rtf:
            return;
        case Word::Ansicpg:
            ansiCodePage_ = parameter;
            return;
        case Word::Deff:
            defaultFont_ = parameter;
            return;
        case Word::Fonttbl:
            state_.destination = Destination::FontTable;
            return;
        case Word::Colortbl:
            state_.destination = Destination::ColorTable;
            colors_.clear();
            return;
        case Word::SkipDestination:
            state_.destination = Destination::Skip;
            return;
        case Word::Plain:
            state_.font = -1;
            state_.bold = state_.italic = state_.underline = false;
            state_.halfPoints = 0;
            state_.colorIndex = 0;
            return;
        case Word::Font:
            if (state_.destination == Destination::FontTable)
                definingFont_ = parameter;
            else
                state_.font = parameter;
            return;
        case Word::FontCharset:
            if (state_.destination == Destination::FontTable) setFontCharset(parameter);
            return;
        case Word::FontSize:
            state_.halfPoints = std::clamp(parameter, 0, 3276);
            return;
        case Word::Bold:
            state_.bold = on;
            return;
        case Word::Italic:
            state_.italic = on;
            return;
        case Word::Underline:
        case Word::UnderlineOther:
            state_.underline = on;
            return;
        case Word::UnderlineNone:
            state_.underline = false;
            return;
        case Word::ColorIndex:
            state_.colorIndex = parameter;
            return;
        case Word::Red:
        case Word::Green:
        case Word::Blue:
            if (state_.destination == Destination::ColorTable) {
                int shift = w == Word::Red ? 16 : w == Word::Green ? 8 : 0;
                colorPending_ |= static_cast<uint32_t>(std::clamp(parameter, 0, 255)) << shift;
                colorHasValue_ = true;
            }
            return;
        case Word::Par:
        case Word::Line:
            put('\n');
            return;
        case Word::Tab:
        case Word::Cell:
            put('\t');
            return;
        case Word::Emdash:
            put(static_cast<char>(0x97));
            return;
        case Word::Endash:
            put(static_cast<char>(0x96));
            return;
        case Word::Lquote:
            put(static_cast<char>(0x91));
            return;
        case Word::Rquote:
            put(static_cast<char>(0x92));
            return;
        case Word::Ldblquote:
            put(static_cast<char>(0x93));
            return;
        case Word::Rdblquote:
            put(static_cast<char>(0x94));
            return;
        case Word::Bullet:
            put(static_cast<char>(0x95));
            return;
        case Word::Unicode:
            unicode(parameter);
            return;
        case Word::UnicodeSkip:
            state_.unicodeSkip = std::clamp(parameter, 0, 16);
            return;
        case Word::Bin: {
            size_t count = static_cast<size_t>(std::max(parameter, 0));
            pos_ += std::min(count, in_.size() - pos_);
            return;
        }
        }
    }

    void unicode(int32_t parameter) {
        int value = parameter < 0 ? parameter + 65536 : parameter;
        char16_t ch = static_cast<char16_t>(std::clamp(value, 0, 65535));
        bool lowSurrogate = ch >= 0xDC00 && ch <= 0xDFFF;
        // A character beyond the Basic Multilingual Plane is one "?", not two.
        if (!(lowSurrogate && afterHighSurrogate_) && ch != 0) {
            if (state_.destination == Destination::Text) run().push_back(unicodeToByte(ch));
        }
        afterHighSurrogate_ = ch >= 0xD800 && ch <= 0xDBFF;
        pendingSkip_ = state_.unicodeSkip;
    }

    void setFontCharset(int32_t charset) {
        auto it = std::find_if(fonts_.begin(), fonts_.end(),
                               [&](const auto& f) { return f.first == definingFont_; });
        if (it != fonts_.end())
            it->second = charset;
        else if (fonts_.size() < 4096)
            fonts_.emplace_back(definingFont_, charset);
    }

    void finishColor() {
        if (colors_.size() < 4096) {
            colors_.push_back(colorHasValue_ ? std::optional<uint32_t>(colorPending_)
                                             : std::nullopt);
        }
        colorPending_ = 0;
        colorHasValue_ = false;
    }

    int charsetOf(int font) const {
        if (font < 0) font = defaultFont_;
        for (const auto& f : fonts_)
            if (f.first == font) return f.second;
        return kLatinCharset;
    }

    int currentCodePage() const {
        switch (charsetOf(state_.font)) {
        case kLatinCharset:
            return 1252;
        case 1: // the default character set: the document's code page
            return ansiCodePage_;
        default:
            return 1251;
        }
    }

    // The run that takes the next character, opened when the formatting changed.
    std::string& run() {
        afterHighSurrogate_ = false;
        int charset = charsetOf(state_.font);
        std::optional<uint32_t> color;
        if (state_.colorIndex > 0 && static_cast<size_t>(state_.colorIndex) < colors_.size())
            color = colors_[static_cast<size_t>(state_.colorIndex)];
        const TextRun* last = runs_.empty() ? nullptr : &runs_.back().format;
        if (!last || last->charset != charset || last->bold != state_.bold ||
            last->italic != state_.italic || last->underline != state_.underline ||
            last->halfPoints != state_.halfPoints || last->color != color) {
            TextRun next;
            next.charset = charset;
            next.bold = state_.bold;
            next.italic = state_.italic;
            next.underline = state_.underline;
            next.halfPoints = state_.halfPoints;
            next.color = color;
            runs_.push_back({std::move(next), {}});
        }
        return runs_.back().text;
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static int hexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    std::string_view in_;
    size_t pos_ = 0;
    int depth_ = 0;
    int excessDepth_ = 0;
    int pendingSkip_ = 0;
    bool afterHighSurrogate_ = false;
    GroupState state_;
    std::vector<GroupState> stack_;
    std::vector<std::pair<int, int>> fonts_; // font number, character set
    int definingFont_ = 0;
    int defaultFont_ = 0;
    int ansiCodePage_ = 1252;
    std::vector<std::optional<uint32_t>> colors_;
    uint32_t colorPending_ = 0;
    bool colorHasValue_ = false;
    // The runs read so far, their text in CP1251 until the end.
    struct CodePageRun {
        TextRun format;
        std::string text;
    };
    std::vector<CodePageRun> runs_;
};

std::vector<TextRun> readPlain(std::string_view bytes, int charset) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r') {
            text.push_back('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c != '\0') {
            text.push_back(c);
        }
    }
    std::vector<TextRun> runs;
    if (!text.empty()) {
        TextRun run;
        run.text = fromCp1251(text);
        run.charset = charset;
        runs.push_back(std::move(run));
    }
    return runs;
}

} // namespace

bool isRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

std::vector<TextRun> readRtf(std::string_view bytes, int plainCharset) {
    if (!isRtf(bytes)) return readPlain(bytes, plainCharset);
    return Reader(bytes).read();
}

int64_t rtfTextLength(const std::vector<TextRun>& runs) {
    int64_t length = 0;
    for (const TextRun& run : runs)
        length += static_cast<int64_t>(run.text.size()) + run.text.count(u'\n');
    return length;
}

} // namespace platform
