#include "ShowMemory.h"

#include <cstring>

size_t ShowMemory::Bytes() const {
    size_t total = 0;
    for (const Place& place : mPlaces) total += place.bytes;
    return total;
}

void ShowMemory::Keep(Moment& moment) const {
    moment.resize(Bytes());
    unsigned char* out = moment.data();
    for (const Place& place : mPlaces) {
        memcpy(out, place.at, place.bytes);
        out += place.bytes;
    }
}

void ShowMemory::Restore(const Moment& moment) const {
    if (moment.size() != Bytes()) return;
    const unsigned char* in = moment.data();
    for (const Place& place : mPlaces) {
        memcpy(place.at, in, place.bytes);
        in += place.bytes;
    }
}
