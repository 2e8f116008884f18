#include "support/RDialogsScripted.h"

TScriptedBoxes::TScriptedBoxes()
{
    FPrevious = SetMessageBoxHandler([this](const TBoxRequest& box) { return Show(box); });
}

TScriptedBoxes::~TScriptedBoxes()
{
    SetMessageBoxHandler(std::move(FPrevious));
}

void TScriptedBoxes::Answer(int buttonCode)
{
    FAnswers.push_back(buttonCode);
}

void TScriptedBoxes::Clear()
{
    FBoxes.clear();
    FAnswers.clear();
    FUnanswered = 0;
}

int TScriptedBoxes::Show(const TBoxRequest& box)
{
    FBoxes.append(box);
    if (FAnswers.empty()) {
        ++FUnanswered;
        return box.DefaultButton;
    }
    const int answer = FAnswers.front();
    FAnswers.pop_front();
    return answer;
}
