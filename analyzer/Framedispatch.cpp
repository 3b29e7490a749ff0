// What happens to each frame the parser accepted.
#include "analyzer/Serialfunctions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string TwoDigits(int Value)
{
    char Buf[16];
    std::snprintf(Buf, sizeof Buf, "%02d", Value);
    return Buf;
}

}  // namespace

void TZEBBSerialProtocol::RecordFrame(const uint8_t* Frame)
{
    if (!FMainWindow)
        return;
    switch (Frame[1]) {
    case '?': FMainWindow->RecordMessage('W', Frame[2], Frame); break;
    case 'P': FMainWindow->RecordMessage('p', Frame[2], Frame); break;
    case 0xF2: FMainWindow->RecordMessage(0xF2, Frame[2], Frame); break;
    default: break;
    }
}

void TZEBBSerialProtocol::DispatchFrame(const uint8_t* Frame)
{
    const uint8_t Type = Frame[1];
    const uint8_t L = Frame[2];
    const uint8_t* P = Frame + 3;  // payload
    switch (Type) {
    case '?':
        if (FMainWindow) {
            FMainWindow->NewWaveformSample(DecodeWaveformSample(Frame));
        }
        break;
    case 'P':
        if (FMainWindow) {
            FMainWindow->NewParameters(DecodeParameters(Frame, FMainWindow->DeviceKind() == dkAnalyzerOldFirmware));
        }
        break;
    case 0xF2:
        if (FMainWindow) {
            DecodeHandheldStatus(Frame);
        }
        break;
    case 'r':
        if (L > 30) {
            DecodeBenchStatus(Frame);
        } else {
            FReplyAddress = P[0] * 65536 + P[1] * 256 + P[2];
            // The reply slot holds 25 bytes whatever the count byte claims.
            const int Count = std::min<int>(P[3], ReplyDataSize);
            for (int k = 0; k < Count; ++k)
                FReplyData[k] = P[4 + k];
            FReplyReceived = true;
        }
        break;
    case 'e':
        FReplyAddress = P[0] * 256 + P[1];
        FReplyData[0] = P[2];
        FReplyData[1] = P[3];
        FReplyReceived = true;
        break;
    case 'V': {
        char Text[32];
        std::snprintf(Text, sizeof Text, "%d.%02d.%02d", P[0], P[1], P[2]);
        FReplyText = Text;
        Log("Version:  " + FReplyText);
        FReplyReceived = true;
        break;
    }
    case 'j':
        FReplyText.assign(reinterpret_cast<const char*>(P), strnlen(reinterpret_cast<const char*>(P), 8));
        FReplyReceived = true;
        break;
    case 'g': {
        FConnectReply = true;
        const int Kind = L >= 9 ? 2 : 1;
        const std::string Version = QueryDeviceVersion();
        if (FMainWindow)
            FMainWindow->ConfigureForDevice(Kind, Version);
        break;
    }
    case 'I':
        HandleFileReply(P);
        break;
    case 'i': {
        uint16_t Year, Month, Day, Hour, Min, Sec, MSec;
        const TDateTime Stamp = Now();
        DecodeDate(Stamp, Year, Month, Day);
        DecodeTime(Stamp, Hour, Min, Sec, MSec);
        Log("Comp Time:  " + IntToStr(Month) + "/" + IntToStr(Day) + "/" + IntToStr(Year) + "  " + IntToStr(Hour) +
            ":" + TwoDigits(Min) + ":" + TwoDigits(Sec));
        Log("Dev Time:   " + IntToStr(P[1]) + "/" + IntToStr(P[0]) + "/" + IntToStr(2000 + P[2]) + "  " +
            IntToStr(P[5]) + ":" + TwoDigits(P[4]) + ":" + TwoDigits(P[3]));
        break;
    }
    case 'f':
        break;
    default:
        Log("String Recieved " + IntToStr(Type));
        break;
    }
}

std::string TZEBBSerialProtocol::QueryDeviceVersion()
{
    FReplyReceived = false;
    SendFrame('J', 0, nullptr);
    if (WaitForFlag(FReplyTimeoutMs, FReplyReceived, true))
        return FReplyText;
    return "";
}
