#include "framework/Guard.h"

#include <cstdio>
#include <exception>
#include <string>

#include "framework/Dialog.h"
#include "framework/Dispatch.h"
#include "framework/LiveCounts.h"
#include "framework/Scoped.h"

namespace
{

std::string Hex(unsigned long code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", code);
    return text;
}

// What the exception being handled is, in words.
std::string DescribeCurrentException()
{
    try
    {
        throw;
    }
    catch (const COleDispatchException& e)
    {
        std::string text = "COleDispatchException, HRESULT " + Hex(static_cast<unsigned long>(e.m_scError));
        if (!e.m_strDescription.empty())
            text += " (" + e.m_strDescription + ")";
        return text;
    }
    catch (const CUserException&)
    {
        return "CUserException";
    }
    catch (const std::bad_alloc&)
    {
        return "std::bad_alloc, HRESULT " + Hex(static_cast<unsigned long>(E_OUTOFMEMORY));
    }
    catch (const std::exception& e)
    {
        return std::string("std::exception (") + e.what() + ")";
    }
    catch (...)
    {
        return "an exception of unknown type";
    }
}

} // namespace

void AfxTraceSwallowed(const char* where, unsigned long long first, unsigned long long second)
{
    AfxCountSwallowed();
    char place[160];
    std::snprintf(place, sizeof place, where, first, second);
    AfxTrace(("Lumora: " + std::string(place) + " threw " + DescribeCurrentException() + "; swallowed").c_str());
}
