// Recording tests: the main window with the recording dialogs, the
// dialogs answered as a user would, and data files read back.
#pragma once

#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"
#include "tests/workbench/MainRig.h"
#include "workbench/AnnotateDialog.h"
#include "workbench/Filefunctions.h"
#include "workbench/RecordDialog.h"
#include "workbench/TimedBreakDialog.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void CreateRecordingDialogs()
{
    if (!dlgRecord)
        dlgRecord = new TdlgRecord(Application);
    if (!dlgAnnotate)
        dlgAnnotate = new TdlgAnnotate(Application);
    if (!dlgTimedBreaks)
        dlgTimedBreaks = new TdlgTimedBreaks(Application);
}

// What the user answers; what was asked is kept.
struct UserAnswers {
    std::string SaveName;              // empty: the save dialog is cancelled
    std::string Subject = "Bob";
    std::string Investigator = "Ann";
    std::string Notes = "first\nsecond";
    int AnnotateResult = mrOk;
    std::string AnnotateNotes = "note";
    std::function<void()> WhileAnnotating;   // frames that arrive meanwhile
    int TimedBreakRow = -1;                   // -1 keeps the row shown
    std::string TimedBreakShown;
    int MessageAnswer = mrOk;
    std::vector<std::string> Messages;

    TDialogAnswerer Old;
    UserAnswers()
    {
        CreateRecordingDialogs();
        Old = SetDialogAnswerer([this](const TDialogRequest& Rq, TDialogAnswer& An) { return Answer(Rq, An); });
    }
    ~UserAnswers() { SetDialogAnswerer(Old); }
    UserAnswers(const UserAnswers&) = delete;
    UserAnswers& operator=(const UserAnswers&) = delete;

    bool Answer(const TDialogRequest& Rq, TDialogAnswer& An)
    {
        switch (Rq.Kind) {
        case TDialogKind::SaveFile:
            An.ModalResult = SaveName.empty() ? mrCancel : mrOk;
            An.FileName = SaveName;
            return true;
        case TDialogKind::MessageBox:
            Messages.push_back(Rq.Text);
            An.ModalResult = MessageAnswer;
            return true;
        case TDialogKind::ModalForm: {
            auto* Form = static_cast<TComponent*>(Rq.Dialog);
            if (Rq.Name == "dlgRecord") {
                Find<TEdit>(Form, "eSubject")->SetText(Subject);
                Find<TEdit>(Form, "eInvest")->SetText(Investigator);
                Find<TMemo>(Form, "eNotes")->SetText(Notes);
                An.ModalResult = mrOk;
            } else if (Rq.Name == "dlgAnnotate") {
                Find<TMemo>(Form, "eNotes")->SetText(AnnotateNotes);
                if (WhileAnnotating)
                    WhileAnnotating();
                An.ModalResult = AnnotateResult;
            } else if (Rq.Name == "dlgTimedBreaks") {
                auto* Combo = Find<TComboBox>(Form, "cbIntervalSelect");
                TimedBreakShown = Combo->Text();
                if (TimedBreakRow >= 0)
                    Combo->SetItemIndex(TimedBreakRow);
                An.ModalResult = mrOk;
            } else {
                return false;
            }
            return true;
        }
        default:
            return false;
        }
    }
};

inline std::vector<TDataFileRecord> ReadDataFile(const std::string& Name)
{
    std::string Data;
    ReadWholeFile(Name, Data);
    std::vector<TDataFileRecord> Out;
    for (size_t Pos = 0; Pos + TDataFileRecord::Size <= Data.size(); Pos += TDataFileRecord::Size)
        Out.push_back(
            TDataFileRecord::FromBytes(*reinterpret_cast<const uint8_t(*)[TDataFileRecord::Size]>(Data.data() + Pos)));
    return Out;
}

// The recordings' ".part" files in Folder (full names).
inline std::vector<std::string> PartFilesIn(const std::string& Folder)
{
    std::vector<std::string> Names;
    std::error_code Ec;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec))
        if (Entry.path().extension() == ".part")
            Names.push_back(Entry.path().string());
    return Names;
}

inline std::string TypesOf(const std::vector<TDataFileRecord>& Records)
{
    std::string S;
    for (const TDataFileRecord& R : Records)
        S += R.RecordType == drtHandheldStatusFrame ? 's' : static_cast<char>(R.RecordType);
    return S;
}

inline bool IsFrameRecord(const TDataFileRecord& R)
{
    return R.RecordType == drtWaveform || R.RecordType == drtParameters || R.RecordType == drtHandheldStatusFrame;
}

// The frame a frame record holds (its length byte says how long).
inline Bytes FrameOf(const TDataFileRecord& R)
{
    return Bytes(R.Payload, R.Payload + std::min<int>(R.Payload[2], TDataFileRecord::PayloadSize));
}

inline bool IsStreamFrame(const Bytes& F)
{
    return F.size() > 2 && (F[1] == '?' || F[1] == 'P' || F[1] == 0xF2);
}

// Compares the frames of a recording with the frames the simulator sent.
// Recorded must be, in order and without a gap, the stream frames among the
// first SentCount of Sent from the first one recorded on. AllSent: every
// such stream frame must be in it (they were acknowledged); otherwise every
// recorded frame must be among them. Empty when so, else what differs.
inline std::string CompareWithSent(const std::vector<Bytes>& Recorded, const std::vector<Bytes>& Sent,
                                   size_t SentCount, bool AllSent)
{
    std::vector<Bytes> Stream;
    for (size_t i = 0; i < Sent.size() && i < SentCount; ++i)
        if (IsStreamFrame(Sent[i]))
            Stream.push_back(Sent[i]);
    if (Recorded.empty())
        return "nothing recorded";
    size_t Start = 0;
    while (Start < Stream.size() && Stream[Start] != Recorded[0])
        ++Start;
    if (Start == Stream.size())
        return "the first recorded frame is not among those sent";
    const size_t Available = Stream.size() - Start;
    for (size_t k = 0; k < Recorded.size() && k < Available; ++k)
        if (Recorded[k] != Stream[Start + k])
            return "recorded frame " + std::to_string(k) + " differs from what was sent";
    if (AllSent && Recorded.size() < Available)
        return std::to_string(Available - Recorded.size()) + " of " + std::to_string(Available) +
               " acknowledged frames are missing";
    if (!AllSent && Recorded.size() > Available)
        return std::to_string(Recorded.size() - Available) + " recorded frames were never sent";
    return "";
}
