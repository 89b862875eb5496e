#include "engine/windowprocedure.h"

#include <malloc.h>

#include <map>

#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/flow.h"
#include "platform/display.h"
#include "platform/random.h"
#include "rules/board.h"
#include "rules/game.h"

namespace xq {

uint8_t gameUnnamed = 1;
std::string errorText;

namespace {

std::map<int32_t, CommandHandler> commandHandlers;
std::map<MessageKind, MessageHandler> messageHandlers;
uint32_t housekeepingTicks = 0;

void RunMessageHandler(const Message& message) {
    const auto found = messageHandlers.find(message.kind);
    if (found != messageHandlers.end()) found->second(message);
}

}  // namespace

void SetCommandHandler(int32_t command, CommandHandler handler) {
    if (handler == nullptr) {
        commandHandlers.erase(command);
    } else {
        commandHandlers[command] = handler;
    }
}

void SetMessageHandler(MessageKind kind, MessageHandler handler) {
    if (handler == nullptr) {
        messageHandlers.erase(kind);
    } else {
        messageHandlers[kind] = handler;
    }
}

void ClearWindowHandlers() {
    commandHandlers.clear();
    messageHandlers.clear();
}

void RunCommand(int32_t command) {
    if (RunEditorCommand(command)) return;
    // "停止" has no handler: only the search's pump acts on it.
    const auto found = commandHandlers.find(command);
    if (found != commandHandlers.end()) {
        found->second();
    } else if (command == kCommandNewGame) {
        NewGameCommand();
    }
}

int64_t MainWindowProcedure(const Message& message) {
    switch (message.kind) {
        case MessageKind::Command:
            RunCommand(message.command);
            break;
        // The end-of-game dialog's answers: the user has just been asked, so nothing more is.
        case MessageKind::NewGameRequest:
            NewGameCommand();
            break;
        case MessageKind::ExitRequest:
            if (messageHandlers.contains(MessageKind::ExitRequest)) {
                RunMessageHandler(message);
            } else {
                RunCommand(kCommandExit);
            }
            break;
        case MessageKind::Timer:
            if (message.command == kHousekeepingTimer) {
                HousekeepingTick();
            } else {
                RunMessageHandler(message);
            }
            break;
        default:
            RunMessageHandler(message);
            break;
    }
    return 0;
}

void ReportError(std::string_view text) {
    if (soundOn) Beep();
    // Fixed texts arrive as the catalogue's source, formatted ones already translated; a text
    // without a translation is kept as it is.
    errorText = Tr(text);
    Message message;
    message.target = kMainWindow;
    message.kind = MessageKind::ShowError;
    SendMessage(message);
}

void NewGameCommand() {
    StopClockDisplay();
    EnableMenuItem("UndoMove", false);
    EnableMenuItem("RedoUndo", false);
    gameUnnamed = 1;
    ShowGameFile("");
    NewGame();
    RedrawAll();
    // The clock line's label alone until the first tick, after the new game has reset the panel.
    ShowPanelValue("Timer", "");
    SidesFromThePosition();
}

void HousekeepingTick() {
    malloc_trim(0);
    if (housekeepingTicks++ % 3 == 0) {
        RandomSeed();
        Random(2);  // one draw, as the reseed has always been followed by one
    }
}

}  // namespace xq
