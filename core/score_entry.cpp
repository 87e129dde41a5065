#include "core/score_entry.h"

#include <string>

namespace tavrel::core {

void Command2_Click(BoxTexts &boxes, Prompt &prompt)
{
    // The message names no judge: the order of the prompts is the guide.
    for (int k = 1; k <= judgeCount; ++k) {
        const std::u16string answer = prompt.ask(u"请输入成绩", u"提示");
        boxes.setText(boxNumber(k), answer);
    }
}

} // namespace tavrel::core
