// Ending the program. A termination request stays requested: the main loop ends
// at its next turn wherever the request was taken, and every modal loop that
// would start while one is pending ends at once, so a message shown then closes
// by itself.
#pragma once

#include <functional>

namespace tandrel::forms {

// How the toolkit is told: its main loop, and every loop running then, ends at its
// next turn. Without one a request is only marked.
void SetQuitRequest(std::function<void()> postQuit);

void RequestTermination();
bool TerminationRequested();

// Runs a modal loop or the main loop and returns its result; while termination is
// pending it does not run the loop and returns 0.
int RunUnlessTerminating(const std::function<int()>& loop);

// For tests: forget an earlier request.
void ResetTerminationForTests();

}  // namespace tandrel::forms
