#include "queue/queued_identities.h"

namespace {

// Keys that no serial and index have.
constexpr std::uint64_t NoNumbers = 0;
constexpr std::uint64_t Unprobed = 1;

// The key of a file's serial and index.
std::uint64_t NumberKey(const FileIdentity& identity)
{
    if (!HasNumbers(identity))
        return NoNumbers;
    const wchar_t units[] = {
        static_cast<wchar_t>(identity.volume),       static_cast<wchar_t>(identity.volume >> 16),
        static_cast<wchar_t>(identity.volume >> 32), static_cast<wchar_t>(identity.volume >> 48),
        static_cast<wchar_t>(identity.index),        static_cast<wchar_t>(identity.index >> 16),
        static_cast<wchar_t>(identity.index >> 32),  static_cast<wchar_t>(identity.index >> 48)};
    return tk::KeyOfText(std::wstring_view(units, 8)) | 2; // neither NoNumbers nor Unprobed
}

} // namespace

void QueuedIdentities::Key(int row, const std::optional<FileIdentity>& identity)
{
    // A file that could not be probed matches nothing: the probe that confirms a match fails.
    numbers_.Replace(row, identity ? NumberKey(*identity) : NoNumbers);
    names_.Replace(row, identity ? tk::KeyOfText(identity->name) : 0);
}

void QueuedIdentities::Append(const std::optional<FileIdentity>& identity)
{
    numbers_.Append(identity ? NumberKey(*identity) : NoNumbers);
    names_.Append(identity ? tk::KeyOfText(identity->name) : 0);
}

void QueuedIdentities::AppendUnprobed()
{
    numbers_.Append(Unprobed);
    names_.Append(0);
}

void QueuedIdentities::Erase(int row)
{
    if (row < 0 || row >= Size())
        return;
    numbers_.Erase(row);
    names_.Erase(row);
}

void QueuedIdentities::Clear()
{
    numbers_.Clear();
    names_.Clear();
}

bool QueuedIdentities::Holds(const FileIdentity& file, std::string (*pathOf)(int row))
{
    for (int row = numbers_.First(Unprobed); row >= 0; row = numbers_.Next(Unprobed, row))
        Key(row, IdentityOf(pathOf(row)));
    // A row whose key matches is the same file only if its file, probed now, is.
    const auto same = [&](int row) {
        const std::optional<FileIdentity> queued = IdentityOf(pathOf(row));
        return queued && SameFile(*queued, file);
    };
    // Numbers decide where both files have them, names everywhere else.
    const std::uint64_t number = NumberKey(file);
    for (int row = number ? numbers_.First(number) : -1; row >= 0; row = numbers_.Next(number, row)) {
        if (same(row))
            return true;
    }
    const std::uint64_t name = tk::KeyOfText(file.name);
    for (int row = names_.First(name); row >= 0; row = names_.Next(name, row)) {
        if (same(row))
            return true;
    }
    return false;
}
