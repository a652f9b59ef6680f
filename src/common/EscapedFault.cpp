#include "EscapedFault.h"

#include <exception>
#include <new>

namespace UpsLink {

Fault EscapedFault()
{
    try {
        throw;
    } catch (const Fault& fault) {
        return fault;
    } catch (const std::bad_alloc&) {
        return Fault(7, "Out of memory");
    } catch (...) {
        return Fault(51, "Internal error");
    }
}

std::string EscapedFaultLine()
{
    return FaultText(EscapedFault());
}

}  // namespace UpsLink
