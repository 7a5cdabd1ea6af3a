#include "project/tex_scanner.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace project {
namespace {

enum class Command {
    Heading,
    Label,
    Caption,
    Begin,
    End,
    Verb,
    Reference,     // one label
    References,    // labels separated by commas (\cref)
    ReferencePair, // two labels (\crefrange)
    HyperRef,      // \hyperref[label]{text}
    Citation,
    Input,  // \input, \include, \subfile
    Import, // \import{folder}{file}
    Bibliography,
    BibResource,
    Graphics,
    NewCommand, // \newcommand{\foo}[n][default]{body}
    Def,        // \def\foo#1{body}
    NewEnvironment,
    NewTheorem,
    Package,
    DocumentClass,
    BibItem,
};

struct CommandInfo {
    Command command;
    int level = 0; // headings
};

using Table = std::unordered_map<std::u16string_view, CommandInfo>;

const Table& commands() {
    static const Table table = [] {
        Table t;
        const std::u16string_view headings[] = {u"part",        u"chapter",       u"section",
                                                u"subsection",  u"subsubsection", u"paragraph",
                                                u"subparagraph"};
        for (int level = 0; level < 7; ++level)
            t[headings[level]] = {Command::Heading, level};
        t[u"label"] = {Command::Label};
        t[u"caption"] = {Command::Caption};
        t[u"begin"] = {Command::Begin};
        t[u"end"] = {Command::End};
        t[u"verb"] = {Command::Verb};
        t[u"lstinline"] = {Command::Verb};
        for (auto name : {u"ref", u"eqref", u"pageref", u"autoref", u"Autoref", u"nameref",
                          u"Nameref", u"vref", u"Vref", u"vpageref", u"fullref", u"subref",
                          u"titleref", u"namecref", u"nameCref", u"zref"})
            t[name] = {Command::Reference};
        for (auto name : {u"cref", u"Cref", u"cpageref", u"Cpageref", u"labelcref"})
            t[name] = {Command::References};
        for (auto name : {u"crefrange", u"Crefrange", u"cpagerefrange", u"Cpagerefrange"})
            t[name] = {Command::ReferencePair};
        t[u"hyperref"] = {Command::HyperRef};
        for (auto name :
             {u"cite",       u"Cite",       u"citep",        u"Citep",       u"citet",
              u"Citet",      u"citealp",    u"Citealp",      u"citealt",     u"Citealt",
              u"citeauthor", u"Citeauthor", u"citeyear",     u"citeyearpar", u"citetitle",
              u"parencite",  u"Parencite",  u"textcite",     u"Textcite",    u"autocite",
              u"Autocite",   u"footcite",   u"footcitetext", u"smartcite",   u"Smartcite",
              u"supercite",  u"fullcite",   u"footfullcite", u"nocite",      u"citenum"})
            t[name] = {Command::Citation};
        for (auto name : {u"input", u"include", u"subfile"})
            t[name] = {Command::Input};
        for (auto name : {u"import", u"subimport", u"inputfrom", u"subinputfrom", u"includefrom",
                          u"subincludefrom"})
            t[name] = {Command::Import};
        t[u"bibliography"] = {Command::Bibliography};
        t[u"addbibresource"] = {Command::BibResource};
        t[u"addglobalbib"] = {Command::BibResource};
        t[u"includegraphics"] = {Command::Graphics};
        for (auto name : {u"newcommand", u"renewcommand", u"providecommand", u"DeclareMathOperator",
                          u"DeclareRobustCommand", u"NewDocumentCommand", u"RenewDocumentCommand",
                          u"ProvideDocumentCommand", u"DeclareDocumentCommand"})
            t[name] = {Command::NewCommand};
        for (auto name : {u"def", u"gdef", u"edef", u"xdef"})
            t[name] = {Command::Def};
        for (auto name : {u"newenvironment", u"renewenvironment", u"NewDocumentEnvironment",
                          u"RenewDocumentEnvironment"})
            t[name] = {Command::NewEnvironment};
        t[u"newtheorem"] = {Command::NewTheorem};
        t[u"usepackage"] = {Command::Package};
        t[u"RequirePackage"] = {Command::Package};
        t[u"documentclass"] = {Command::DocumentClass};
        t[u"bibitem"] = {Command::BibItem};
        return t;
    }();
    return table;
}

bool isVerbatim(QStringView name) {
    static const QStringView names[] = {
        u"verbatim",   u"verbatim*", u"Verbatim", u"Verbatim*",    u"BVerbatim",    u"LVerbatim",
        u"lstlisting", u"minted",    u"comment",  u"filecontents", u"filecontents*"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool isFloat(QStringView name, FloatKind& kind) {
    static const QStringView figures[] = {u"figure", u"figure*", u"wrapfigure", u"sidewaysfigure"};
    static const QStringView tables[] = {u"table", u"table*", u"wraptable", u"sidewaystable"};
    if (std::find(std::begin(figures), std::end(figures), name) != std::end(figures)) {
        kind = FloatKind::Figure;
        return true;
    }
    if (std::find(std::begin(tables), std::end(tables), name) != std::end(tables)) {
        kind = FloatKind::Table;
        return true;
    }
    return false;
}

bool isLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\r' || u == '\n';
}

constexpr int kArgumentLimit = 65536;

// A range of the text.
struct Span {
    int start = 0;
    int length = 0;
};

class Scanner {
  public:
    explicit Scanner(QStringView text) : t_(text), n_(static_cast<int>(text.size())) {
        lineStarts_.push_back(0);
        for (int i = 0; i < n_; ++i)
            if (t_[i] == u'\n') lineStarts_.push_back(i + 1);
    }

    FileIndex run() {
        while (pos_ < n_) {
            const QChar c = t_[pos_];
            if (c == u'%') {
                skipLine();
            } else if (c == u'\\') {
                command();
            } else {
                ++pos_;
            }
        }
        while (!floats_.empty())
            closeFloat();
        return std::move(out_);
    }

  private:
    Place placeOf(int start, int length) const {
        const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), start);
        const int line = static_cast<int>(next - lineStarts_.begin()) - 1;
        return Place{-1, line, start - lineStarts_[static_cast<size_t>(line)], length};
    }
    QString textOf(Span s) const { return t_.mid(s.start, s.length).toString(); }

    void skipLine() {
        while (pos_ < n_ && t_[pos_] != u'\n')
            ++pos_;
    }
    // Blanks and comments between a command and its arguments.
    void skipBlanks() {
        while (pos_ < n_) {
            if (isBlank(t_[pos_])) {
                ++pos_;
            } else if (t_[pos_] == u'%') {
                skipLine();
            } else {
                break;
            }
        }
    }
    bool star() {
        if (pos_ < n_ && t_[pos_] == u'*') {
            ++pos_;
            return true;
        }
        return false;
    }

    // The argument in open..close after the blanks; the position stays where it was when
    // there is none or it is never closed.
    std::optional<Span> argument(char16_t open, char16_t close) {
        const int before = pos_;
        skipBlanks();
        if (pos_ >= n_ || t_[pos_] != QChar(open)) {
            pos_ = before;
            return std::nullopt;
        }
        const int start = pos_ + 1;
        // An argument never closed is looked for no further than this: a stray brace
        // costs one bounded look, never a walk to the end for every command after it.
        const int limit = std::min(n_, start + kArgumentLimit);
        int depth = 0;
        for (int i = start; i < limit; ++i) {
            const char16_t u = t_[i].unicode();
            if (u == '\\') {
                ++i;
            } else if (u == '%') {
                while (i < limit && t_[i] != u'\n')
                    ++i;
            } else if (u == '{') {
                ++depth;
            } else if (u == '}' && depth > 0) {
                --depth;
            } else if (u == close && depth == 0) {
                pos_ = i + 1;
                return Span{start, i - start};
            } else if (u == '}' && close == ']') {
                break; // an unbalanced brace ends an optional argument that never closes
            }
        }
        pos_ = before;
        return std::nullopt;
    }
    std::optional<Span> group() { return argument(u'{', u'}'); }
    std::optional<Span> optional() { return argument(u'[', u']'); }

    // A command name standing alone: "\foo" after \def or \newcommand without braces.
    std::optional<Span> commandToken() {
        skipBlanks();
        if (pos_ >= n_ || t_[pos_] != u'\\') return std::nullopt;
        const int start = pos_++;
        if (pos_ < n_ && !isLetter(t_[pos_])) {
            ++pos_;
        } else {
            while (pos_ < n_ && isLetter(t_[pos_]))
                ++pos_;
        }
        return Span{start, pos_ - start};
    }

    // The pieces of a comma list, each without its blanks.
    std::vector<Span> commaList(Span s) const {
        std::vector<Span> pieces;
        int start = s.start;
        const int end = s.start + s.length;
        for (int i = s.start; i <= end; ++i) {
            if (i < end && t_[i] != u',') continue;
            Span piece = trimmed(Span{start, i - start});
            if (piece.length > 0) pieces.push_back(piece);
            start = i + 1;
        }
        return pieces;
    }
    Span trimmed(Span s) const {
        while (s.length > 0 && isBlank(t_[s.start])) {
            ++s.start;
            --s.length;
        }
        while (s.length > 0 && isBlank(t_[s.start + s.length - 1]))
            --s.length;
        return s;
    }
    // A key written with a macro's parameter (#1) is no key of the document.
    bool usable(Span s) const { return s.length > 0 && !t_.mid(s.start, s.length).contains(u'#'); }

    void addUse(UseKind kind, QStringView command, Span key, const QString& folder = {}) {
        if (!usable(key)) return;
        out_.uses.push_back(
            Use{kind, command.toString(), textOf(key), placeOf(key.start, key.length), folder});
    }

    void command() {
        const int start = pos_++;
        if (pos_ >= n_) return;
        if (!isLetter(t_[pos_])) {
            ++pos_; // a control symbol: \%, \\, \{ ...
            return;
        }
        const int nameStart = pos_;
        while (pos_ < n_ && isLetter(t_[pos_]))
            ++pos_;
        const QStringView name = t_.mid(nameStart, pos_ - nameStart);
        const auto found = commands().find(std::u16string_view(
            reinterpret_cast<const char16_t*>(name.utf16()), static_cast<size_t>(name.size())));
        if (found == commands().end()) return;
        const CommandInfo info = found->second;
        switch (info.command) {
        case Command::Heading:
            return heading(start, info.level);
        case Command::Label:
            return label();
        case Command::Caption:
            return caption();
        case Command::Begin:
            return begin(start);
        case Command::End:
            return end();
        case Command::Verb:
            return verb();
        case Command::Reference:
        case Command::References:
        case Command::ReferencePair:
        case Command::HyperRef:
            return reference(name, info.command);
        case Command::Citation:
            return citation(name);
        case Command::Input:
            return input(name);
        case Command::Import:
            return import(name);
        case Command::Bibliography:
        case Command::BibResource:
            return bibliography(name, info.command == Command::Bibliography);
        case Command::Graphics:
            return graphics(name);
        case Command::NewCommand:
            return newCommand();
        case Command::Def:
            return def();
        case Command::NewEnvironment:
            return newEnvironment();
        case Command::NewTheorem:
            return newTheorem();
        case Command::Package:
            return package();
        case Command::DocumentClass:
            return documentClass();
        case Command::BibItem:
            return bibItem();
        }
    }

    void heading(int start, int level) {
        star();
        optional();
        const auto title = group();
        if (!title) return;
        heading_ = textOf(trimmed(*title));
        out_.headings.push_back(Heading{level, heading_, placeOf(start, pos_ - start)});
    }

    void label() {
        const auto arg = group();
        if (!arg) return;
        const Span key = trimmed(*arg);
        if (!usable(key)) return;
        Label label{textOf(key), heading_, placeOf(key.start, key.length)};
        if (!floats_.empty()) {
            Float& open = out_.floats[floats_.back()];
            if (open.label.isEmpty()) open.label = label.key;
            label.context = open.caption; // filled at the float's end when still empty
        }
        out_.labels.push_back(std::move(label));
    }

    void caption() {
        star();
        optional();
        const auto text = group();
        if (!text || floats_.empty()) return;
        Float& open = out_.floats[floats_.back()];
        if (open.caption.isEmpty()) open.caption = textOf(trimmed(*text));
    }

    void begin(int start) {
        const auto arg = group();
        if (!arg) return;
        const QStringView name = t_.mid(arg->start, arg->length);
        if (isVerbatim(name)) {
            const QString closing = QStringLiteral("\\end{") + name.toString() + u'}';
            const qsizetype at = t_.indexOf(closing, pos_);
            pos_ = at < 0 ? n_ : static_cast<int>(at + closing.size());
            return;
        }
        FloatKind kind;
        if (isFloat(name, kind)) {
            floats_.push_back(out_.floats.size());
            floatLabels_.push_back(out_.labels.size());
            out_.floats.push_back(Float{kind, {}, {}, placeOf(start, pos_ - start)});
        }
    }

    void end() {
        const auto arg = group();
        FloatKind kind;
        if (arg && !floats_.empty() && isFloat(t_.mid(arg->start, arg->length), kind)) closeFloat();
    }

    // The labels of a float that stood before its caption take the caption too.
    void closeFloat() {
        const Float& closed = out_.floats[floats_.back()];
        for (size_t i = floatLabels_.back(); i < out_.labels.size(); ++i)
            if (out_.labels[i].context.isEmpty())
                out_.labels[i].context = closed.caption.isEmpty() ? heading_ : closed.caption;
        floats_.pop_back();
        floatLabels_.pop_back();
    }

    void verb() {
        star();
        if (pos_ >= n_ || isLetter(t_[pos_]) || isBlank(t_[pos_])) return;
        const QChar delimiter = t_[pos_] == u'{' ? QChar(u'}') : t_[pos_];
        for (int i = pos_ + 1; i < n_ && t_[i] != u'\n'; ++i) {
            if (t_[i] == delimiter) {
                pos_ = i + 1;
                return;
            }
        }
    }

    void reference(QStringView name, Command kind) {
        star();
        if (kind == Command::HyperRef) {
            if (const auto key = optional()) addUse(UseKind::Reference, name, trimmed(*key));
            return;
        }
        optional();
        const auto arg = group();
        if (!arg) return;
        if (kind == Command::References) {
            for (Span key : commaList(*arg))
                addUse(UseKind::Reference, name, key);
            return;
        }
        addUse(UseKind::Reference, name, trimmed(*arg));
        if (kind == Command::ReferencePair) {
            if (const auto second = group()) addUse(UseKind::Reference, name, trimmed(*second));
        }
    }

    void citation(QStringView name) {
        star();
        optional();
        optional();
        const auto arg = group();
        if (!arg) return;
        for (Span key : commaList(*arg)) {
            if (key.length == 1 && t_[key.start] == u'*') continue; // \nocite{*}
            addUse(UseKind::Citation, name, key);
        }
    }

    void input(QStringView name) {
        if (const auto arg = group()) return addUse(UseKind::Input, name, trimmed(*arg));
        if (name != u"input") return;
        // TeX's own form: \input file, the name ending at a blank.
        skipBlanks();
        const int start = pos_;
        while (pos_ < n_ && !isBlank(t_[pos_]) && t_[pos_] != u'%' && t_[pos_] != u'\\' &&
               t_[pos_] != u'}')
            ++pos_;
        addUse(UseKind::Input, name, Span{start, pos_ - start});
    }

    void import(QStringView name) {
        star();
        const auto folder = group();
        if (!folder) return;
        const auto file = group();
        if (file) addUse(UseKind::Input, name, trimmed(*file), textOf(trimmed(*folder)));
    }

    void bibliography(QStringView name, bool list) {
        optional();
        const auto arg = group();
        if (!arg) return;
        if (!list) return addUse(UseKind::Bibliography, name, trimmed(*arg));
        for (Span file : commaList(*arg))
            addUse(UseKind::Bibliography, name, file);
    }

    void graphics(QStringView name) {
        star();
        optional();
        optional();
        if (const auto arg = group()) addUse(UseKind::Graphics, name, trimmed(*arg));
    }

    void define(Span name, bool environment) {
        if (!usable(name)) return;
        out_.definitions.push_back(
            Definition{textOf(name), environment, placeOf(name.start, name.length)});
    }

    // The body of a definition is no text of the document: it is skipped whole.
    void newCommand() {
        star();
        std::optional<Span> name;
        if (const auto arg = group()) {
            name = trimmed(*arg);
        } else {
            name = commandToken();
        }
        if (!name) return;
        define(*name, false);
        while (optional()) {
        }
        group(); // \NewDocumentCommand's argument signature, else the body
        group();
    }

    void def() {
        const auto name = commandToken();
        if (!name) return;
        define(*name, false);
        while (pos_ < n_ && t_[pos_] != u'{' && t_[pos_] != u'\n')
            ++pos_;
        group();
    }

    void newEnvironment() {
        star();
        const auto name = group();
        if (!name) return;
        define(trimmed(*name), true);
        while (optional()) {
        }
        group();
        group();
        group();
    }

    void newTheorem() {
        star();
        if (const auto name = group()) define(trimmed(*name), true);
    }

    void package() {
        optional();
        const auto arg = group();
        if (!arg) return;
        for (Span name : commaList(*arg))
            out_.packages.append(textOf(name));
    }

    void documentClass() {
        optional();
        if (const auto arg = group()) out_.documentClass = textOf(trimmed(*arg));
    }

    void bibItem() {
        optional();
        const auto arg = group();
        if (!arg) return;
        const Span key = trimmed(*arg);
        if (usable(key))
            out_.bibitems.push_back(Label{textOf(key), heading_, placeOf(key.start, key.length)});
    }

    QStringView t_;
    int n_;
    int pos_ = 0;
    std::vector<int> lineStarts_;
    FileIndex out_;
    QString heading_;                 // the title of the last heading
    std::vector<size_t> floats_;      // the floats open, innermost last
    std::vector<size_t> floatLabels_; // the first label of each
};

} // namespace

FileIndex scanTex(QStringView text) {
    return Scanner(text).run();
}

std::optional<QString> magicRoot(QStringView text) {
    constexpr int kLines = 20;
    int line = 0;
    qsizetype start = 0;
    while (start < text.size() && line++ < kLines) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0) end = text.size();
        QStringView rest = text.mid(start, end - start).trimmed();
        start = end + 1;
        if (!rest.startsWith(u'%')) continue;
        rest = rest.mid(1).trimmed();
        if (!rest.startsWith(u"!tex", Qt::CaseInsensitive)) continue;
        rest = rest.mid(4).trimmed();
        if (!rest.startsWith(u"root", Qt::CaseInsensitive)) continue;
        rest = rest.mid(4).trimmed();
        if (!rest.startsWith(u'=')) continue;
        rest = rest.mid(1).trimmed();
        if (!rest.isEmpty()) return rest.toString();
    }
    return std::nullopt;
}

} // namespace project
