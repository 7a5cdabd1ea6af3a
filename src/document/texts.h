#pragma once
// Texts of the file commands, in the editor's code page (CP1251) or as QStrings.
#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace document {

inline std::string cp1251(std::u16string_view text) {
    return platform::toCp1251(QStringView(text.data(), static_cast<qsizetype>(text.size())));
}

inline QString text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline constexpr std::u16string_view kOpenFilter = u"Файлы TEX (*.tex)|*.tex|Все файлы|*.*";
// The open command's: the one above, and every kind of file a TeX project holds.
inline constexpr std::u16string_view kDocumentOpenFilter =
    u"Файлы TEX (*.tex)|*.tex|"
    u"Все файлы TeX (*.tex *.sty *.cls *.ltx *.dtx *.ins *.bib *.bbx *.cbx)|"
    u"*.tex;*.sty;*.cls;*.ltx;*.dtx;*.ins;*.bib;*.bbx;*.cbx|Все файлы|*.*";
inline constexpr std::u16string_view kSaveFilter = u"Файлы TEX|*.tex|Все файлы|*.*";
inline constexpr std::u16string_view kOpenTitle = u"Открытие файла для редактирования";
inline constexpr std::u16string_view kMainFileTitle = u"Выбери главный файл и нажми \"ОТКРЫТЬ\"";
inline constexpr std::u16string_view kTemplateTitle = u"Выбери файл шаблона и нажми \"ОТКРЫТЬ\"";
// The main window's caption; a document's caption goes on after the separator.
inline constexpr std::u16string_view kProgramCaption = u"KolBAX (ver.0.3beta)";
inline constexpr std::u16string_view kCaptionSeparator = u": ";
inline constexpr std::u16string_view kUntitled = u"(без имени)";
inline constexpr std::u16string_view kAttachedTo = u" к ";
// The caption ends with the encoding's name in brackets (" [UTF-8]"); a CP866 document's
// caption has no tail.
inline constexpr std::u16string_view kEncodingCaptionTail = u" [%1]";
inline constexpr std::u16string_view kLoadingNotice = u"Загружаю файл... Подожди!";
inline constexpr std::u16string_view kCannotOpenInFolder =
    u"Файл не открыт: нет папки или нет права войти в неё: ";
inline constexpr std::u16string_view kCannotSaveInFolder =
    u"Файл не сохранён: нет папки или нет права войти в неё: ";
inline constexpr std::u16string_view kUnworkableName =
    u"Редактор не работает с таким именем файла: в нём есть управляющие знаки или байты, "
    u"которые не читаются как UTF-8. Переименуй файл или выбери другое имя.";
// %1 the most characters a document of the file's encoding holds.
inline constexpr std::u16string_view kTooLarge =
    u"Файл не загружен: в нём больше %1 символов, а редактор вмещает не больше.";
// %1 the encoding, %2 the most characters a document in it holds.
inline constexpr std::u16string_view kTooLargeForEncoding =
    u"Текст не сохранён в кодировке %1: в нём больше %2 символов, а документ в ней вмещает не "
    u"больше.";
// A file is refused rather than opened with bytes missing, which a save would lose for good.
inline constexpr std::u16string_view kNulBytes =
    u"Файл не загружен: в нём есть нулевые байты (код 0), а редактор не может их хранить.";
inline constexpr std::u16string_view kTextAfterEndMark =
    u"Файл не загружен: после символа конца файла (Ctrl+Z, код 26) в нём есть ещё данные, "
    u"а редактор читает файл только до этого символа.";
inline constexpr std::u16string_view kUtf16 =
    u"Файл %1 записан в кодировке UTF-16. Редактор открывает файлы в кодировках CP866, "
    u"CP1251, KOI8-R и UTF-8.";
// %1 the file's name, %2 the encoding's.
inline constexpr std::u16string_view kNotInEncoding =
    u"Файл %1 не открыт в кодировке %2: его байты не читаются в ней.";
// Shown in the indicator's place: %1 the declared encoding, %2 the one the file was read in.
// Asked before a save would write over a file changed or replaced on disk since the editor
// last read or wrote it; %1 is the file's name.
inline constexpr std::u16string_view kChangedOnDiskCaption = u"Файл изменён на диске";
inline constexpr std::u16string_view kOverwriteChangedFile =
    u"Файл %1 изменён на диске другой программой после того, как редактор его прочёл.\n"
    u"Записать текст редактора поверх него?";
inline constexpr std::u16string_view kDeclarationContradicted =
    u"Файл в %2, хотя объявлена кодировка %1";
inline constexpr std::u16string_view kReopenTitle = u"Открыть файл в кодировке";
inline constexpr std::u16string_view kSaveInEncodingTitle = u"Сохранить файл в кодировке";
inline constexpr std::u16string_view kReopenCaption = u"Открыть в кодировке";
inline constexpr std::u16string_view kReopenLosesChanges =
    u"Текст изменён. Перечитать файл в другой кодировке, отказавшись от изменений?";
inline constexpr std::u16string_view kNothingToReopen =
    u"Файл ещё не сохранён на диске: перечитывать нечего.";
inline constexpr std::u16string_view kNotRegularFile =
    u"Файл не загружен: это не обычный файл, а папка, канал или устройство.";

} // namespace document
