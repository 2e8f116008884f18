#pragma once

#include "support/RDialogs.h"

#include <QList>

#include <deque>

// A message-box back-end for tests: installed for its lifetime, it records every box and answers
// from a queue of button codes. When the queue is empty a box is answered with its default
// button and counted in Unanswered(), so a test can tell an unexpected question.
class TScriptedBoxes {
public:
    TScriptedBoxes();
    ~TScriptedBoxes();
    TScriptedBoxes(const TScriptedBoxes&) = delete;
    TScriptedBoxes& operator=(const TScriptedBoxes&) = delete;

    // Queues the answer to the next box.
    void Answer(int buttonCode);
    // Every box shown so far, oldest first.
    const QList<TBoxRequest>& Boxes() const { return FBoxes; }
    // The last box shown (a default box when none was shown).
    TBoxRequest Last() const { return FBoxes.isEmpty() ? TBoxRequest{} : FBoxes.last(); }
    int Unanswered() const { return FUnanswered; }
    // Queued answers not used yet.
    int Pending() const { return static_cast<int>(FAnswers.size()); }
    void Clear();

private:
    int Show(const TBoxRequest& box);

    QList<TBoxRequest> FBoxes;
    std::deque<int> FAnswers;
    int FUnanswered = 0;
    TMessageBoxHandler FPrevious;
};
