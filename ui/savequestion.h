// The question asked before a command drops a game with changes no file keeps:
// "棋局已改变，保存吗？" with "保存", "不保存" and "取消". It is the main window's filling of the
// core's hook (records/menucommands.h), which decides when to ask and what each answer does.
#pragma once

#include "records/menucommands.h"

namespace xq {

inline constexpr char kSaveQuestionName[] = "SaveChangesBox";

// Shows the question modally over the main window. Esc and the close box answer "取消".
SaveAnswer AskToSaveChanges();

}  // namespace xq
