// Firmware files: an Intel HEX file decoded into the binary records the
// analyzer's boot loader takes, one record per slot of a fixed ring.
//
// A record on the wire (and in its slot): ':' (0x3A), the data length n,
// the load address high byte first, the record type, n data bytes and the
// record's checksum as the file gives it: n + 6 bytes, so a slot of 25 bytes
// holds records of up to 19 data bytes.
#pragma once

#include <cstdint>
#include <string>

class TFlashFileQueue {
public:
    static constexpr int32_t QueueSize = 25000;  // slots; one always stays free
    static constexpr int32_t SlotSize = 25;
    static constexpr int32_t MaxDataBytes = SlotSize - 6;
    static constexpr int32_t MaxRecords = QueueSize - 1;

    TFlashFileQueue();

    void Clear();
    int32_t GetRecordCount() const { return FCount; }
    // Reads the whole file and checks every record before it is kept: each
    // must be hexadecimal digit pairs whose count matches its length field,
    // hold at most MaxDataBytes data bytes and carry a correct checksum, and
    // the file must hold at least one record and at most MaxRecords. Returns
    // the number of records; 0 when the file cannot be loaded as a whole
    // (the queue is then empty and ErrorText says why, naming file and line).
    int32_t LoadFromFile(const std::string& FileName);
    // Copies the n + 6 bytes of the record at the read position into
    // Destination (room for SlotSize bytes); false when none is left.
    bool GetRecord(uint8_t* Destination) const;
    // Moves to the next record; false once the last one was passed.
    bool Next();
    // '0'-'9', 'A'-'F' and 'a'-'f' give their value, anything else 0.
    static int HexDigitValue(char C);

    const std::string& FileName() const { return FFileName; }
    const std::string& ErrorText() const { return FErrorText; }

private:
    // Checks and stores one record given as its hexadecimal digits (without
    // the ':'); false with ErrorText set when it cannot be taken.
    bool AddRecord(const std::string& Digits, int Line);
    bool Fail(const std::string& Text);
    bool FailAt(int Line, const std::string& Reason);

    uint8_t FRecords[QueueSize][SlotSize];
    int32_t FWriteIndex = 0;
    int32_t FReadIndex = 0;
    int32_t FCount = 0;
    std::string FFileName;
    std::string FErrorText;
};
