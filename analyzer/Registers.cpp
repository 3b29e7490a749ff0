// Registers, memory, version, serial numbers and the printout header.
#include "analyzer/Serialfunctions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint16_t SerialHighRegister = 84;
constexpr uint16_t SerialLowRegister = 85;
constexpr uint16_t HeaderFirstRegister = 49;
constexpr int HeaderLength = 40;
constexpr uint32_t HandheldSerialAddress = 9550;
constexpr int HandheldSerialLength = 15;

}  // namespace

std::string TZEBBSerialProtocol::QueryVersion(bool Show)
{
    FReplyReceived = false;
    const uint8_t Data[1] = {'P'};
    SendFrame('V', 1, Data);
    if (!WaitForFlag(FReplyTimeoutMs, FReplyReceived, true))
        return "";
    const std::string Text = FReplyText;
    if (Show && FMainWindow)
        FMainWindow->ShowDeviceVersion(Text);
    return Text;
}

uint16_t TZEBBSerialProtocol::ReadRegister(uint16_t Register)
{
    ClearReply();
    const uint8_t Data[2] = {static_cast<uint8_t>(Register >> 8), static_cast<uint8_t>(Register)};
    SendFrame('E', 2, Data);
    WaitForFlag(FReplyTimeoutMs, FReplyReceived, true);
    // The address slot starts at 0, so only a reply that came counts.
    if (FReplyReceived && FReplyAddress == Register)
        return static_cast<uint16_t>(FReplyData[0] * 256 + FReplyData[1]);
    return 0xFFFF;
}

bool TZEBBSerialProtocol::WriteRegister(uint16_t Register, uint16_t Value)
{
    const uint8_t Data[4] = {static_cast<uint8_t>(Register >> 8), static_cast<uint8_t>(Register),
                             static_cast<uint8_t>(Value >> 8), static_cast<uint8_t>(Value)};
    SendFrame('W', 4, Data);
    return FAcked;
}

TMemoryReadResult TZEBBSerialProtocol::ReadMemory(uint32_t Address, int Count, uint8_t* Destination)
{
    if (Count == 0)
        return rmRead;
    // The reply carries the address in three bytes and the data in one
    // short frame; anything more cannot come back.
    if (Count < 0 || Count > MaxMemoryRead || Address > 0xFFFFFF || !Destination)
        return rmFailed;
    for (int Attempt = 0; Attempt < FMaxReadAttempts; ++Attempt) {
        ClearReply();
        const uint8_t Data[5] = {static_cast<uint8_t>(Address >> 16), static_cast<uint8_t>(Address >> 8),
                                 static_cast<uint8_t>(Address), static_cast<uint8_t>(Count), 'P'};
        SendFrame('r', 5, Data);
        WaitForFlag(FReplyTimeoutMs, FReplyReceived, true);
        if (FClosing)
            return rmFailed;
        if (FReplyReceived && FReplyAddress == static_cast<int32_t>(Address)) {
            std::memcpy(Destination, FReplyData, static_cast<size_t>(Count));
            return rmRead;
        }
        Delay(1000);
        if (FClosing)
            return rmFailed;
        Reset();
        Log("ERROR Reading Address:  " + IntToStr(Address));
    }
    return rmFailed;
}

std::string TZEBBSerialProtocol::ReadSerialNumber()
{
    const uint32_t High = ReadRegister(SerialHighRegister);
    const uint32_t Low = ReadRegister(SerialLowRegister);
    char Text[16];
    std::snprintf(Text, sizeof Text, "%d", static_cast<int32_t>(High * 65536u + Low));
    return Text;
}

std::string TZEBBSerialProtocol::ReadHandheldSerial()
{
    uint8_t Area[30] = {};
    ReadMemory(HandheldSerialAddress, HandheldSerialLength, Area);
    std::string Text;
    for (int i = 0; i < HandheldSerialLength && Area[i] >= 32; ++i)
        Text += static_cast<char>(Area[i]);
    return Text;
}

void TZEBBSerialProtocol::WriteHeaderText(const std::string& Text)
{
    uint8_t Chars[HeaderLength] = {};
    std::memcpy(Chars, Text.data(), std::min<size_t>(Text.size(), HeaderLength));
    for (int i = 0; i < HeaderLength / 2; ++i)
        WriteRegister(static_cast<uint16_t>(HeaderFirstRegister + i),
                      static_cast<uint16_t>(Chars[2 * i + 1] * 256 + Chars[2 * i]));
}
