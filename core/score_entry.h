#pragma once

#include "core/box_texts.h"
#include "core/prompt.h"

namespace tavrel::core {

// The click on "输入成绩": asks for the five scores one after another and puts
// each answer, unchanged, into Text1 … Text5 as soon as its prompt closes. A
// dismissed prompt gives an empty answer and the next prompt follows.
void Command2_Click(BoxTexts &boxes, Prompt &prompt);

} // namespace tavrel::core
