// How the parts of the control write a "call" line: the part fills in the name and the
// arguments, the control adds which object it is and where its windows are.
#pragma once

#include "json_line.h"

namespace standin {

inline JsonLine CallLine(const char* name) {
    JsonLine line("call");
    line.Key("name").Ascii(name);
    return line;
}

class CallRecorder {
public:
    virtual void RecordCall(JsonLine& line) = 0;

protected:
    ~CallRecorder() = default;
};

}  // namespace standin
