#include "platform/guard.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cctype>
#include <exception>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/prompts.h"

namespace platform {

std::string applicationTitleFor(const std::string& programFileName) {
    std::string title = programFileName.substr(0, programFileName.find('.'));
    if (!title.empty())
        title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    for (size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    return title;
}

std::string applicationTitle() {
    return applicationTitleFor(
        fromFsPath(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}

void runGuarded(Prompts& prompts, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const UnicodeRuntimeError& error) {
        prompts.unicodeError(applicationTitle(), error.message());
    } catch (const RuntimeError& error) {
        prompts.error(applicationTitle(), error.what());
    } catch (const std::bad_alloc&) {
        prompts.error(applicationTitle(), "Out of memory");
    } catch (const std::exception& error) {
        prompts.error(applicationTitle(), error.what());
    }
}

} // namespace platform
