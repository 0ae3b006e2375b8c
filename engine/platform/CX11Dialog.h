#pragma once
// A minimal modal dialog drawn with plain Xlib: a caption, lines of text, an
// optional one-line text field, and buttons. It exists so that the engine can
// ask the user something without a toolkit; a host with its own toolkit
// installs its own dialogs instead (CMessageBox::SetHook, CSaveFileDialog::SetHook).

#include <string>
#include <vector>

class CX11Dialog
{
public:
    enum Result { NoDisplay = -1, Cancelled = 0, Accepted = 1 };

    /// Text with an OK button. Blocks until the user closes it.
    static Result Message(const std::string& caption, const std::string& text);

    /// Text with Yes and No buttons; Accepted means Yes.
    static Result Question(const std::string& caption, const std::string& text);

    /// Text with an editable line prefilled with `value`; Enter accepts,
    /// Escape cancels. On Accepted `value` holds the edited text.
    static Result AskText(const std::string& caption, const std::string& text, std::string& value);

private:
    struct Spec
    {
        std::string caption;
        std::vector<std::string> lines;
        std::vector<std::string> buttons;
        bool hasField = false;
    };
    static Result Run(const Spec& spec, std::string* field);
};
