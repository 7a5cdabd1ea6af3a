#pragma once
// Every handler runs through runGuarded: a runtime error ends the handler where it was
// raised and its message is shown in an error box captioned with the application title.
// What the handler changed before the error stays changed. Nothing is thrown through
// Qt's event loop.
#include <functional>
#include <string>

namespace platform {

class Prompts;

// The program file's name cut at its first ".", its first letter in upper case and every
// letter after it in lower case ("kolbax" gives "Kolbax").
std::string applicationTitle();
std::string applicationTitleFor(const std::string& programFileName);

void runGuarded(Prompts& prompts, const std::function<void()>& handler);

} // namespace platform
