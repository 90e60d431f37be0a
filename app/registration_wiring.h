// The registration flows with the launcher's own windows: a right click on a
// program button of the group window or on a group button of the bar opens
// the registration dialog for that slot or group.
#pragma once

namespace kb {

class App;
class TEditWindow;
class TGroupButton;
class TSubForm;

// Program button n of the group window, in the group the window shows.
// Returns the dialog's modal result.
int RegisterProgramButton(TEditWindow& dialog, TSubForm& form, int n);

// The group of `button`.  Returns the dialog's modal result.
int RegisterGroupButton(TEditWindow& dialog, App& app, TSubForm& form, TGroupButton& button);

// Makes both right clicks open the dialog.
void ConnectRegistration(TEditWindow& dialog, App& app, TSubForm& form);

}  // namespace kb
