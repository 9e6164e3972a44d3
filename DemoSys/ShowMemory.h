// The bytes the show carries from frame to frame, registered once where they
// live (a scene's motion, a particle pool, the beat tracker), so that a seek
// can keep a moment of the show and go back to it with plain copies.
#pragma once

#include <cstddef>
#include <type_traits>
#include <vector>

class ShowMemory {
public:
    using Moment = std::vector<unsigned char>;

    void Add(void* place, size_t bytes) { mPlaces.push_back({static_cast<unsigned char*>(place), bytes}); }
    template <typename T>
    void Add(T& value) {
        static_assert(std::is_trivially_copyable<T>::value, "kept and put back as bytes");
        Add(&value, sizeof value);
    }
    size_t Bytes() const;
    // Copies every place into the moment, which is sized to hold them.
    void Keep(Moment& moment) const;
    // Copies a moment kept from these places back into them.
    void Restore(const Moment& moment) const;

private:
    struct Place {
        unsigned char* at;
        size_t bytes;
    };
    std::vector<Place> mPlaces;
};
