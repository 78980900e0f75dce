#include "core/links/ShellResult.h"

namespace quillory::links {

std::u16string_view ShellErrorText(ShellResult result) noexcept
{
    switch (result) {
    case ShellResult::OutOfResources:
        return u"The operating system is out of memory or resources.";
    case ShellResult::FileNotFound:
        return u"The specified file was not found.";
    case ShellResult::PathNotFound:
        return u"The specified path was not found.";
    case ShellResult::AccessDenied:
        return u"The operating system denied access to the specified file.";
    case ShellResult::OutOfMemory:
        return u"There was not enough memory to complete the operation.";
    case ShellResult::BadProgram:
        return u"The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
    case ShellResult::SharingViolation:
        return u"A sharing violation occurred.";
    case ShellResult::AssociationIncomplete:
        return u"The filename association is incomplete or invalid.";
    case ShellResult::DdeTimeout:
        return u"The DDE transaction could not be completed because the request timed out.";
    case ShellResult::DdeFailed:
        return u"The DDE transaction failed.";
    case ShellResult::DdeBusy:
        return u"The DDE transaction could not be completed because other DDE transactions were being processed.";
    case ShellResult::NoAssociation:
        return u"There is no application associated with the given filename extension.";
    case ShellResult::LibraryNotFound:
        return u"The specified dynamic-link library was not found.";
    case ShellResult::Ok:
        break;
    }
    return {};
}

} // namespace quillory::links
