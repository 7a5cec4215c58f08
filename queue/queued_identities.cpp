#include "queue/queued_identities.h"

void QueuedIdentities::Count(Row& row, const FileIdentity& identity)
{
    row.state = Row::State::Known;
    row.numbered = HasNumbers(identity);
    if (row.numbered) {
        row.number = {identity.volume, identity.index};
        ++numbers_[row.number];
    }
    row.name = names_.try_emplace(identity.name).first;
    ++row.name->second.all;
    if (!row.numbered)
        ++row.name->second.withoutNumbers;
}

void QueuedIdentities::Uncount(const Row& row)
{
    if (row.state != Row::State::Known)
        return;
    if (row.numbered) {
        const auto number = numbers_.find(row.number);
        if (--number->second == 0)
            numbers_.erase(number);
    }
    NameCount& count = row.name->second;
    if (!row.numbered)
        --count.withoutNumbers;
    if (--count.all == 0)
        names_.erase(row.name);
}

void QueuedIdentities::Append(std::optional<FileIdentity> identity)
{
    auto row = std::make_unique<Row>();
    if (identity)
        Count(*row, *identity);
    else
        row->state = Row::State::Unknown;
    rows_.push_back(std::move(row));
}

void QueuedIdentities::AppendUnprobed()
{
    rows_.push_back(std::make_unique<Row>());
    ++unprobed_;
}

void QueuedIdentities::Erase(int row)
{
    if (row < 0 || row >= Size())
        return;
    const auto at = rows_.begin() + row;
    if ((*at)->state == Row::State::Unprobed)
        --unprobed_;
    Uncount(**at);
    rows_.erase(at);
}

void QueuedIdentities::Clear()
{
    rows_.clear();
    numbers_.clear();
    names_.clear();
    unprobed_ = 0;
}

bool QueuedIdentities::Holds(const FileIdentity& file, const std::function<std::string(int row)>& pathOf)
{
    for (int i = 0; unprobed_ > 0 && i < Size(); ++i) {
        Row& row = *rows_[static_cast<std::size_t>(i)];
        if (row.state != Row::State::Unprobed)
            continue;
        --unprobed_;
        if (const std::optional<FileIdentity> identity = IdentityOf(pathOf(i)))
            Count(row, *identity);
        else
            row.state = Row::State::Unknown;
    }
    // SameFile over every row at once: numbers decide where both sides have them, names
    // everywhere else.
    const auto name = names_.find(file.name);
    if (HasNumbers(file))
        return numbers_.contains({file.volume, file.index}) || (name != names_.end() && name->second.withoutNumbers > 0);
    return name != names_.end() && name->second.all > 0;
}
