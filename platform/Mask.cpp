#include "platform/Mask.h"

#include <QLineEdit>

#include <cstring>

std::string QtInputMask(const std::string& EditMask)
{
    // The mask, then ";save-literals;blank" fields.
    std::string mask = EditMask;
    char blank = '_';
    const size_t semi = EditMask.find(';');
    if (semi != std::string::npos) {
        mask = EditMask.substr(0, semi);
        const size_t second = EditMask.find(';', semi + 1);
        if (second != std::string::npos && second + 1 < EditMask.size())
            blank = EditMask[second + 1];
    }
    std::string out;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == '\\' && i + 1 < mask.size()) {
            out += '\\';
            out += mask[++i];
            continue;
        }
        if (c == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
            out += '!';
            ++i;
            continue;
        }
        switch (c) {
        case 'L': out += 'A'; break;
        case 'l': out += 'a'; break;
        case 'A': out += 'N'; break;
        case 'a': out += 'n'; break;
        case 'C': out += 'X'; break;
        case 'c': out += 'x'; break;
        case '0': out += '9'; break;
        case '9': out += '0'; break;
        case '#': out += '#'; break;
        case '>': out += '>'; break;
        case '<': out += '<'; break;
        case '!': break;   // leading blanks: nothing to tell Qt
        default:
            // A literal that Qt would read as a mask character is escaped.
            if (std::strchr("AaNnXx90DdHhBb#><!{}[]", c))
                out += '\\';
            out += c;
            break;
        }
    }
    if (out.empty())
        return "";
    return out + ";" + std::string(1, blank == ' ' ? ' ' : blank);
}

void TCustomMaskEdit::SetEditMask(const std::string& Value)
{
    FEditMask = Value;
    static_cast<QLineEdit*>(Handle())->setInputMask(QString::fromStdString(QtInputMask(Value)));
}
