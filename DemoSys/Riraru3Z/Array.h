// A growable array of plain records. Growth is by a fixed step, so that
// filling during loading reallocates rarely and the records stay contiguous
// for upload.
#pragma once

#include <cstring>
#include <type_traits>

#include "BS/Export/BS_Memory.h"

template <typename Record>
class Array {
    static_assert(std::is_trivially_copyable<Record>::value, "records are moved as bytes");

public:
    Array(int capacity, int growthStep) : mCapacity(capacity), mGrowthStep(growthStep) {
        mRecords = static_cast<Record*>(BS::AllocateMemory(static_cast<unsigned>(capacity * mRecordSize)));
    }
    ~Array() { free(mRecords); }
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;

    void Add(const Record& record) {
        if (mCount == mCapacity) {
            const int grown = mCapacity + mGrowthStep;
            const int capacity = grown > mCount + 1 ? grown : mCount + 1;
            mRecords = static_cast<Record*>(
                BS::ReallocateMemory(mRecords, static_cast<unsigned>(capacity * mRecordSize)));
            mCapacity = capacity;
        }
        memcpy(&mRecords[mCount++], &record, sizeof(Record));
    }

    Record* Records() { return mRecords; }
    const Record* Records() const { return mRecords; }
    Record& operator[](int i) { return mRecords[i]; }
    const Record& operator[](int i) const { return mRecords[i]; }
    int Count() const { return mCount; }
    int Capacity() const { return mCapacity; }
    int RecordSize() const { return mRecordSize; }

private:
    Record* mRecords = nullptr;
    int mCount = 0;
    int mCapacity;
    const int mRecordSize = static_cast<int>(sizeof(Record));
    int mGrowthStep;
};
