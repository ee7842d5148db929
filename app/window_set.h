#pragma once

// The program's nine windows, created once in a fixed order and reached through their global
// instances (form1, form2, Form3, Form5, Form6, AboutBox, form7, zapisz, wyniki). The first,
// form1, is the main window.
class WindowSet {
public:
    WindowSet();
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;
};
