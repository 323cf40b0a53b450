#include "model/sequence.h"

#include <algorithm>

namespace velmar {

ObjectId Sequence::entry(int position) const
{
    if (position < 1 || position > kCapacity)
        return 0;
    return m_entries[std::size_t(position - 1)];
}

void Sequence::setEntry(int position, ObjectId id)
{
    if (position < 1 || position > kCapacity)
        return;
    m_entries[std::size_t(position - 1)] = id;
}

int Sequence::positionOf(ObjectId id) const
{
    if (id == 0)
        return 0;
    for (int position = 1; position <= m_length; ++position)
        if (m_entries[std::size_t(position - 1)] == id)
            return position;
    return 0;
}

void Sequence::append(ObjectId id, bool record)
{
    // A full sequence takes no more entries: the object simply stays out of the reading order.
    if (m_length >= kCapacity)
        return;
    ++m_length;
    if (record)
        m_entries[std::size_t(m_length - 1)] = id;
}

void Sequence::remove(ObjectId id)
{
    const int position = positionOf(id);
    if (position == 0)
        return;
    std::copy(m_entries.begin() + position, m_entries.begin() + m_length, m_entries.begin() + position - 1);
    m_entries[std::size_t(m_length - 1)] = 0;
    --m_length;
}

void Sequence::swap(int a, int b)
{
    if (a < 1 || a > kCapacity || b < 1 || b > kCapacity)
        return;
    std::swap(m_entries[std::size_t(a - 1)], m_entries[std::size_t(b - 1)]);
}

}  // namespace velmar
