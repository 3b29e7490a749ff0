// The protocol object on the program's serial component.
#include "analyzer/Protocolport.h"
#include "analyzer/Serialfunctions.h"
#include "platform/ApdComPort.h"

bool TApdPortAdapter::Open() const { return FPort->Open(); }
void TApdPortAdapter::PutBlock(const void* Block, size_t Len) { FPort->PutBlock(Block, Len); }
void TApdPortAdapter::PutChar(uint8_t C) { FPort->PutChar(C); }
size_t TApdPortAdapter::OutBuffUsed() const { return FPort->OutBuffUsed(); }
void TApdPortAdapter::ProcessCommunications() { FPort->ProcessCommunications(); }
void TApdPortAdapter::FlushInBuffer() { FPort->FlushInBuffer(); }
void TApdPortAdapter::FlushOutBuffer() { FPort->FlushOutBuffer(); }
uint8_t TApdPortAdapter::GetChar() { return FPort->GetChar(); }
uint16_t TApdPortAdapter::InBuffFree() const { return FPort->InBuffFree(); }
void TApdPortAdapter::SetBaud(int Baud) { FPort->SetBaud(Baud); }

TZEBBSerialProtocol::TZEBBSerialProtocol(TApdComPort* Port)
    : TZEBBSerialProtocol(static_cast<TProtocolPort*>(nullptr))
{
    FComPort = Port;
    if (Port) {
        FOwnedPort = std::make_unique<TApdPortAdapter>(Port);
        FPort = FOwnedPort.get();
    }
}
