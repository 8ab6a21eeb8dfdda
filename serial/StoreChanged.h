#pragma once
// The setter rule of the port and its settings objects: a value equal to the
// stored one changes nothing (and so applies nothing to the device).

namespace serial::detail {

// Stores a changed value and reports whether it changed.
template <typename T>
bool Store(T& field, T value)
{
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace serial::detail
