#pragma once
// A fresh editor on a private copy of the program folder, with scripted prompts.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/editor.h"
#include "support/text.h"

namespace apptest {

namespace fs = std::filesystem;

using AppFolder = support::ProgramFolder;
using support::cp1251;
using support::cp866;
using support::describe;
using support::Editor;
using support::readBytes;
using support::writeBytes;

} // namespace apptest
