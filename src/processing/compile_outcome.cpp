#include "processing/compile_outcome.h"

#include <array>
#include <sys/wait.h>
#include <utility>

#include "processing/command_line.h"

namespace processing {

std::optional<QString> compileFailure(const CompileEnd& end) {
    const QString program = QStringLiteral("«%1»").arg(end.program);
    if (end.stopped) return QStringLiteral("Компиляция остановлена");
    if (end.status == -1)
        return QStringLiteral("PDF не обновлён: не удалось узнать, чем кончился %1").arg(program);
    if (WIFSIGNALED(end.status))
        return QStringLiteral("PDF не обновлён: %1 прерван сигналом %2")
            .arg(program)
            .arg(WTERMSIG(end.status));
    // TeX leaves no PDF at all for a document without pages, and says so only in its LOG.
    if (end.log && end.log->find("No pages of output.") != std::string::npos)
        return QStringLiteral("PDF не получен: в документе нет ни одной страницы");
    const int code = WIFEXITED(end.status) ? WEXITSTATUS(end.status) : -1;
    if (code != 0) {
        if (!end.missingEngine.isEmpty())
            return QStringLiteral("PDF не получен: нет программы «%1», которую запускает %2")
                .arg(end.missingEngine, program);
        return QStringLiteral("PDF не обновлён: %1 завершился с кодом %2").arg(program).arg(code);
    }
    if (!end.pdfExists)
        return QStringLiteral("PDF не получен: %1 закончил работу, не записав PDF").arg(program);
    return std::nullopt;
}

std::string latexmkEngine(const std::vector<std::string>& words) {
    static const std::array<std::pair<std::string_view, std::string_view>, 7> switches = {{
        {"-pdf", "pdflatex"},
        {"-pdflatex", "pdflatex"},
        {"-pdfxe", "xelatex"},
        {"-xelatex", "xelatex"},
        {"-pdflua", "lualatex"},
        {"-lualatex", "lualatex"},
        {"-latex", "latex"},
    }};
    std::string engine = "latex";
    for (size_t i = 1; i < words.size(); ++i) {
        std::string_view word = words[i];
        if (word.starts_with("--")) word.remove_prefix(1);
        for (const auto& [option, program] : switches) {
            if (word == option) engine = program;
            // -pdflatex="CMD %O %S": the program is CMD's first word.
            if (word.size() > option.size() && word.starts_with(option) &&
                word[option.size()] == '=') {
                const std::vector<std::string> command =
                    splitCommandLine(word.substr(option.size() + 1));
                if (!command.empty()) engine = command.front();
            }
        }
    }
    return engine;
}

} // namespace processing
