// The about record every component of the instrument-control library shows.
#pragma once

#include "platform/Classes.h"

#include <string>

class TIcInfo : public TPersistent {
    OZ_CLASS(TIcInfo, TPersistent);

public:
    // The five texts, never stored.
    static void Publish(TPublisher<TIcInfo>& P);

    const std::string& pName() const { return FName; }
    void SetpName(const std::string& Value) { FName = Value; }
    const std::string& pVersion() const { return FVersion; }
    void SetpVersion(const std::string& Value) { FVersion = Value; }
    const std::string& Copyright() const { return FCopyright; }
    void SetCopyright(const std::string& Value) { FCopyright = Value; }
    const std::string& Mail() const { return FMail; }
    void SetMail(const std::string& Value) { FMail = Value; }
    const std::string& WWW() const { return FWWW; }
    void SetWWW(const std::string& Value) { FWWW = Value; }

private:
    std::string FName;
    std::string FVersion;
    std::string FCopyright;
    std::string FMail;
    std::string FWWW;
};

// The one record of the run; components keep the pointer and never free it.
TIcInfo* LoadIcInfo();
