// Every modal form, message box and file dialog the platform shows asks this
// hook first. A test sets an answerer and so is never stuck on a dialog; the
// program leaves it empty and the dialog is shown to the user.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TObject;

enum class TDialogKind {
    ModalForm,     // TForm::ShowModal; Dialog is the form
    MessageBox,    // MessageDlg / Application->MessageBox
    OpenFile,      // TOpenDialog::Execute
    SaveFile,      // TSaveDialog::Execute
    BrowseFolder,  // browse-for-folder dialog
    Color,         // colour dialog
    Print,         // print dialog
    InputBox,      // InputQuery / InputBox; Text is the value proposed
    Progress,      // a long task's progress window, at each step; Dialog is the
                   // window, Text the percentage done ("42"); mrCancel stops the task
};

struct TDialogRequest {
    TDialogKind Kind = TDialogKind::ModalForm;
    TObject* Dialog = nullptr;   // the form or dialog component asking
    std::string Name;            // its component name, "" for message boxes;
                                 // input boxes: the prompt
    std::string Caption;         // window caption
    std::string Text;            // message text, or the file name proposed
    std::string Filter;          // file dialogs: "Desc|*.ext|..."
    std::string InitialDir;      // file and folder dialogs
    int Buttons = 0;             // message boxes: the button set asked for
    std::vector<std::string> CustomColors;   // colour dialog: "ColorA=BBGGRR" ... "ColorP=..."
};

struct TDialogAnswer {
    int ModalResult = 0;         // mrOk, mrCancel, mrYes, ... or a custom number
    std::string FileName;        // file dialogs: the file chosen; folder dialogs: the folder
    unsigned Color = 0;          // colour dialog
    std::vector<std::string> CustomColors;   // colour dialog: starts as asked, taken over on OK
    std::string Text;            // input box: the value entered
};

// Returns true when it answered the request (filling Answer); false lets the
// dialog be shown as usual.
using TDialogAnswerer = std::function<bool(const TDialogRequest& Request, TDialogAnswer& Answer)>;

// Installs an answerer and returns the one it replaces.
TDialogAnswerer SetDialogAnswerer(TDialogAnswerer Answerer);

// What the platform's dialogs call before they show anything.
bool AnswerDialog(const TDialogRequest& Request, TDialogAnswer& Answer);

// The requests answered so far, newest last (tests read what was asked).
const std::vector<TDialogRequest>& AnsweredDialogs();
void ClearAnsweredDialogs();
