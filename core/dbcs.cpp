#include "core/dbcs.h"
#include "core/win_types.h"

bool IsLeadByte(unsigned char byte)
{
#ifdef _WIN32
    return IsDBCSLeadByte(byte) != FALSE;
#else
    return IsShiftJisLeadByte(byte);
#endif
}
