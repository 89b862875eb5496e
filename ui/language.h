// The player's language: which of the program's translations is installed, which of Qt's own
// texts (file dialogs, message boxes) go with it, and how the window writes moves. Simplified
// Chinese is the program's own language and needs no translation; Traditional Chinese and English
// come compiled into the program (:/i18n). Installing a translation sends every window Qt's
// LanguageChange event, on which each retranslates itself.
#pragma once

#include <QLocale>
#include <QString>
#include <string>
#include <string_view>

namespace xq {

enum class Language { SimplifiedChinese, TraditionalChinese, English };
inline constexpr Language kLanguages[] = {Language::SimplifiedChinese, Language::TraditionalChinese,
                                          Language::English};

// The desktop's language as the game offers it: Chinese written in traditional characters (Taiwan,
// Hong Kong, Macau, or the Hant script) as Traditional Chinese, any other Chinese, and no language
// at all (the C locale), as Simplified Chinese, every other language as English.
Language LanguageForLocale(const QLocale& locale);
// The language chess.ini names (kLanguageCodes), or the locale's when it names none.
Language LanguageForSetting(std::string_view code, const QLocale& locale);
// The code chess.ini keeps for `language`.
std::string_view LanguageCode(Language language);
// The language's name in its own language, as the menu shows it.
QString LanguageName(Language language);

// Installs `language`'s translations in place of those installed before and sets the move style
// of the window (WXF for English, traditional characters for Traditional Chinese). False when the
// program's translation could not be loaded; the texts then stay Simplified Chinese.
bool SetLanguage(Language language);
Language CurrentLanguage();

}  // namespace xq
