#include "ui/dialogs/enginechoices.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "engine/enginechoice.h"
#include "platform/texts.h"

namespace xq {

std::string OwnEngineProgram() {
    const QDir folder(QCoreApplication::applicationDirPath());
    for (const char* place :
         {"lanchuan-engine", "../uci/lanchuan-engine", "../../uci/lanchuan-engine"}) {
        const QFileInfo file(folder.filePath(QString::fromLatin1(place)));
        if (file.isFile() && file.isExecutable())
            return QFile::encodeName(file.canonicalFilePath()).toStdString();
    }
    return {};
}

host::EngineSetup OwnEngineSetup(const std::string& program, bool master) {
    host::EngineSetup setup;
    setup.name = Tr(master ? kMasterEngineName : kClassicEngineName);
    setup.command.program = program;
    setup.protocol = host::Protocol::Uci;
    setup.ranks = host::Ranks::FromZero;
    setup.options = {{"Engine", master ? "Master" : "Classic"}};
    return setup;
}

std::vector<EngineChoice> EngineChoices(bool masterInside) {
    std::vector<EngineChoice> choices;
    const std::string program = OwnEngineProgram();
    const QString master = QString::fromStdString(Tr(kMasterEngineName));
    const QString classic = QString::fromStdString(Tr(kClassicEngineName));
    if (!program.empty()) choices.push_back({classic, OwnEngineSetup(program, false), true});
    if (masterInside) {
        choices.push_back({master, std::nullopt, true});
    } else if (!program.empty()) {
        choices.push_back({master, OwnEngineSetup(program, true), true});
    }
    for (const host::EngineSetup& added : addedEngines)
        choices.push_back({QString::fromStdString(added.name), added, false});
    return choices;
}

int ChosenEngineIndex(const std::vector<EngineChoice>& choices) {
    QString wanted;
    switch (engineKind) {
        case EngineKind::Classic:
            wanted = QString::fromStdString(Tr(kClassicEngineName));
            break;
        case EngineKind::Master:
            wanted = QString::fromStdString(Tr(kMasterEngineName));
            break;
        case EngineKind::Added:
            wanted = QString::fromStdString(addedEngineName);
            break;
    }
    const bool added = engineKind == EngineKind::Added;
    for (size_t index = 0; index < choices.size(); ++index)
        if (choices[index].name == wanted && choices[index].own != added)
            return static_cast<int>(index);
    // 标准 without lanchuan-engine: the 大师 engine.
    const QString master = QString::fromStdString(Tr(kMasterEngineName));
    for (size_t index = 0; index < choices.size(); ++index)
        if (choices[index].own && choices[index].name == master) return static_cast<int>(index);
    return choices.empty() ? -1 : 0;
}

void FillEngineBox(QComboBox* box, const std::vector<EngineChoice>& choices) {
    box->clear();
    for (const EngineChoice& choice : choices)
        box->addItem(choice.name);
    box->setCurrentIndex(ChosenEngineIndex(choices));
}

}  // namespace xq
