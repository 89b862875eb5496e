#include "ui/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <iterator>
#include <memory>

#include "records/notation.h"
#include "records/settings.h"

namespace xq {

namespace {

Language current = Language::SimplifiedChinese;
// The translators installed for the current language; the program's and Qt's own.
std::unique_ptr<QTranslator> ownTranslator;
std::unique_ptr<QTranslator> qtTranslator;

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (translator) QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

// Loads `file` from `folder` and installs it; nothing is left installed when it is missing.
bool Install(std::unique_ptr<QTranslator>& translator, const QString& file, const QString& folder) {
    translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder)) {
        translator.reset();
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    return true;
}

MoveStyle StyleOf(Language language) {
    switch (language) {
        case Language::TraditionalChinese:
            return MoveStyle::Traditional;
        case Language::English:
            return MoveStyle::Wxf;
        default:
            return MoveStyle::Simplified;
    }
}

}  // namespace

Language LanguageForLocale(const QLocale& locale) {
    // A desktop that names no language (the C locale) gets the program's own.
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return Language::SimplifiedChinese;
    if (locale.language() != QLocale::Chinese) return Language::English;
    const bool traditional = locale.script() == QLocale::TraditionalChineseScript ||
                             locale.territory() == QLocale::Taiwan ||
                             locale.territory() == QLocale::HongKong ||
                             locale.territory() == QLocale::Macao;
    return traditional ? Language::TraditionalChinese : Language::SimplifiedChinese;
}

Language LanguageForSetting(std::string_view code, const QLocale& locale) {
    for (Language language : kLanguages)
        if (code == LanguageCode(language)) return language;
    return LanguageForLocale(locale);
}

std::string_view LanguageCode(Language language) {
    return kLanguageCodes[static_cast<int>(language)];
}

QString LanguageName(Language language) {
    switch (language) {
        case Language::TraditionalChinese:
            return QString::fromUtf8("繁體中文");
        case Language::English:
            return QStringLiteral("English");
        default:
            return QString::fromUtf8("简体中文");
    }
}

bool SetLanguage(Language language) {
    // 1. Nothing of the language before stays installed.
    Remove(ownTranslator);
    Remove(qtTranslator);
    current = language;
    shownMoveStyle = StyleOf(language);
    // 2. Qt's own texts: English is Qt's source language; a missing file leaves them English.
    const QString code = QString::fromLatin1(LanguageCode(language).data());
    if (language != Language::English)
        Install(qtTranslator, QStringLiteral("qtbase_") + code,
                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // 3. The program's own texts; Simplified Chinese is their source.
    if (language == Language::SimplifiedChinese) return true;
    const bool loaded = Install(ownTranslator, QStringLiteral("lanchuan-xiangqi_") + code,
                                QStringLiteral(":/i18n"));
    if (!loaded) shownMoveStyle = MoveStyle::Simplified;
    return loaded;
}

Language CurrentLanguage() {
    return current;
}

}  // namespace xq
