#include "echo/PqICMP.h"

#include <map>

std::string GetMessageString(int32_t Status)
{
    static const std::map<int32_t, std::string> texts = {
        {-1, "Unknown host"},
        {11001, "Buffer too small"},
        {11002, "Destination network unreachable"},
        {11003, "Destination host unreachable"},
        {11004, "Destination protocol unreachable"},
        {11005, "Destination port unreachable"},
        {11006, "No resources"},
        {11007, "Bad option"},
        {11008, "Hardware error"},
        {11009, "Packet too big"},
        {11010, "Request timed out"},
        {11011, "Bad request"},
        {11012, "Bad route"},
        {11013, "TTL expired in transit"},
        {11014, "TTL expired in reassembly"},
        {11015, "Parameter problem"},
        {11016, "Source quench"},
        {11017, "Option too big"},
        {11018, "Bad Destination"},
        {11019, "Address deleted"},
        {11020, "Spec MTU change"},
        {11021, "MTU change"},
        {11022, "IP Unload"},
        {11050, "General failure"},
        {11255, "Pending"},
    };
    const auto found = texts.find(Status);
    return found == texts.end() ? std::string() : found->second;
}

std::string TPqICMP::GetMessageString(int32_t Status) const { return ::GetMessageString(Status); }
