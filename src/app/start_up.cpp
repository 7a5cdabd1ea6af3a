// The start-up handler: fills the editor state from the data files and the settings
// (app::Locations says where they are) and sets the window to its first look. The required data
// files are loaded in turn until one fails (the guard shows its message) and the lists it and the
// later ones would fill stay empty; the two settings files are read whatever became of them, and
// the window gets its hints, Smart Keyboard state and prompt in any case.
#include <QFileInfo>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include "app/locations.h"
#include "app/main_window.h"
#include "app/settings_files.h"
#include "app/tform1.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "processing/pdf_settings.h"
#include "typography/typography_checker.h"

namespace {

void loadSorted(platform::StringList& list, const std::string& path) {
    list.loadFromFile(path);
    list.sort();
}

} // namespace

void TForm1::FindLocations() {
    if (!AppDir.empty()) {
        if (SettingsDir.isEmpty()) SettingsDir = platform::fsPath(AppDir);
        return;
    }
    const app::Locations locations = app::programLocations();
    AppDir = platform::toCp1251(locations.dataFolder);
    SettingsDir = locations.settingsFolder;
    // When the folder cannot be made, the shipped commands are read instead and the
    // shutdown reports the folder.
    app::prepareSettingsFolder(locations);
}

QString TForm1::SettingsFileToRead(const char* name) const {
    const QString own = platform::joinPath(SettingsDir, QLatin1String(name));
    if (QFileInfo::exists(own)) return own;
    return platform::joinPath(platform::fsPath(AppDir), QLatin1String(name));
}

void TForm1::FormCreate() {
    setWindowTitle(app::mainCaption());
    FindLocations();
    const std::string folder = AppDir.back() == '/' ? AppDir : AppDir + "/";
    auto dataFile = [&folder](const char* name) { return folder + name; };

    RichEdit1->SetInsertCharset(platform::kLatinCharset);
    RichEdit1->setEnabled(false);

    // Each step reports its own failure; true when it ran to its end.
    auto step = [this](const std::function<void()>& work) {
        bool done = false;
        Guarded([&] {
            work();
            done = true;
        });
        return done;
    };

    const bool gridsLoaded = step([&] {
        LettersGrid.loadFromFile(dataFile("letters.grd"));
        SymbolsGrid.loadFromFile(dataFile("symbols.grd"));
    });

    step([&] {
        app::CommandLines commands = app::readCommandSet(SettingsFileToRead("commands.set"));
        CompileCommand = commands.compile;
        ViewCommand = commands.view;
        PrintCommand = commands.print;
    });
    step([&] {
        const QString pdfSettings = SettingsFileToRead(processing::kPdfSettingsFile);
        Pdf = QFileInfo::exists(pdfSettings)
                  ? processing::parsePdfSettings(platform::readFileBytes(pdfSettings))
                  : processing::defaultPdfOutput();
    });

    step(
        [&] { TypographyChecker1->ReadSettings(SettingsFileToRead(typography::Settings::kFile)); });
    recentFilesRead_ = step(
        [&] { RecentFiles = app::readFileList(platform::joinPath(SettingsDir, "filelist.ini")); });
    if (!RecentFiles[0].isEmpty()) N10->setVisible(true);
    // Each entry stands by itself: an empty one hides nothing that a later one shows.
    QAction* items[] = {File11, File21, File31, File41};
    for (size_t i = 0; i < RecentFiles.size(); ++i) {
        if (RecentFiles[i].isEmpty()) continue;
        app::showRecentFileItem(*items[i], app::recentFileCaption(RecentFiles[i]));
    }

    FormulaEnvironments.clear();
    StatementEnvironments.clear();
    StatementEnvironmentNames.clear();
    OtherEnvironments.clear();
    CommandList.clear();

    if (gridsLoaded)
        step([&] {
            loadSorted(FormulaEnvironments, dataFile("env1.dat"));
            StatementEnvironments.loadFromFile(dataFile("env2.dat"));
            for (const std::string& entry : StatementEnvironments)
                StatementEnvironmentNames.add(platform::StringList::nameOf(entry));
            StatementEnvironments.sort();
            loadSorted(OtherEnvironments, dataFile("env3.dat"));
            loadSorted(CommandList, dataFile("comm.dat"));
        });

    int count = 0;
    const app::ToolbarHint* hints = app::toolbarHints(count);
    for (int i = 0; i < count; ++i)
        if (auto* button = ToolBar1->findChild<QToolButton*>(QLatin1String(hints[i].button))) {
            button->setToolTip(hints[i].hint);
            button->setAccessibleName(hints[i].hint);
        }

    RefreshOutputCaptions();
    SmartKeyboardOn = true;
    RefreshSmartKeyboardControls();
    Label1->setText(QStringLiteral("Открой файл или начни новый!"));
    ArrangeControls();
}
