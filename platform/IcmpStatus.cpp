#include "platform/IcmpLibrary.h"

namespace platform {

int32_t StatusOfIcmpError(uint8_t type, uint8_t code)
{
    constexpr uint8_t DestinationUnreachable = 3, SourceQuench = 4, TimeExceeded = 11, ParameterProblem = 12;
    switch (type) {
    case DestinationUnreachable:
        switch (code) {
        case 0:
        case 6:
        case 9:
        case 11:
            return IP_DEST_NET_UNREACHABLE;
        case 2:
            return IP_DEST_PROT_UNREACHABLE;
        case 3:
            return IP_DEST_PORT_UNREACHABLE;
        case 4:
            return IP_PACKET_TOO_BIG;
        case 5:
            return IP_BAD_ROUTE;
        default:
            return IP_DEST_HOST_UNREACHABLE;
        }
    case TimeExceeded:
        return code == 1 ? IP_TTL_EXPIRED_REASSEM : IP_TTL_EXPIRED_TRANSIT;
    case ParameterProblem:
        return IP_PARAM_PROBLEM;
    case SourceQuench:
        return IP_SOURCE_QUENCH;
    default:
        return IP_GENERAL_FAILURE;
    }
}

} // namespace platform
