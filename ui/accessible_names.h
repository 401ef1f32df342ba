#pragma once
// What screen readers read for the program's controls. A reader asks a control for its
// accessible object (WM_GETOBJECT); the system's standard object names an edit by the label
// before it and anything else by its window text, which leaves combo boxes, lists, headers and
// bars unnamed. The controls named here answer with the standard object, whose name (and value,
// where given) are this program's.
#include <windows.h>

#include <functional>
#include <string>

namespace ui {

// The name a reader announces for `control` from now on; `value`, when given, is asked each time
// a reader wants the control's value (the location box's path shown).
void SetAccessibleName(HWND control, const std::wstring& name, std::function<std::wstring()> value = {});

// Names every control of `dialog` that reads no name of its own by the label right before it
// in tab order (edits, combo boxes, lists, progress bars, up-downs). Made at the start of every
// dialog of the program.
void NameControlsByLabels(HWND dialog);

// The text of a window (a control's content, a label's text); empty for none.
std::wstring WindowTextOf(HWND window);

// A label's text as a name: without the access key's "&" ("&&" stays one "&").
std::wstring LabelAsName(const std::wstring& label);

// `text` as part of a label's text, shown as it is: each "&" doubled, so that it is no access key.
std::wstring LiteralLabelText(const std::wstring& text);

}  // namespace ui
