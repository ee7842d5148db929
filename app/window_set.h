#pragma once

// The program's nine windows, created once in a fixed order and reached through their global
// instances (form1, form2, Form3, Form5, Form6, AboutBox, form7, zapisz, wyniki). The first,
// form1, is the main window.
class WindowSet {
public:
    // All at once (tests and tools show what they need), or the menu on screen first: shown and
    // drawn, and then, before any input is handled, every other window.
    enum class Start { AllAtOnce, MenuFirst };
    explicit WindowSet(Start start = Start::AllAtOnce);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;
};
