#pragma once

#include <QtGlobal>

#include <array>

namespace velmar {

// Identity of one object of an outline; 0 means no object.
using ObjectId = quint32;

enum class ObjectKind;

struct ObjectRef {
    ObjectKind kind{};
    int slot = 0;  // 0 when not found
    bool isValid() const { return slot > 0; }
};

// An ordered list of up to 100 object references with its length (the frame sequence or the
// object sequence). The length may run ahead of the entries written: while recording is off a
// creation counts itself in without writing its entry, and loading fills the entries afterwards.
class Sequence {
public:
    static constexpr int kCapacity = 100;

    int length() const { return m_length; }
    void setLength(int length) { m_length = qBound(0, length, kCapacity); }

    // 1-based entry; 0 for positions outside 1..100.
    ObjectId entry(int position) const;
    // Writes an entry; positions outside 1..100 are ignored.
    void setEntry(int position, ObjectId id);

    // 1-based position of the object among entries 1..length, 0 when it is not there.
    int positionOf(ObjectId id) const;

    // Counts one more entry and, when record is set, writes the object there.
    void append(ObjectId id, bool record);
    // Removes the object if it stands in the sequence; later entries move down by one.
    void remove(ObjectId id);
    // Exchanges two entries (1-based); out-of-range positions do nothing.
    void swap(int a, int b);

    void clear()
    {
        m_entries.fill(0);
        m_length = 0;
    }

private:
    std::array<ObjectId, kCapacity> m_entries{};
    int m_length = 0;
};

}  // namespace velmar
