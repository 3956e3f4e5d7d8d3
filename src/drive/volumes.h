// Volume letters of the drives and the disk space of those volumes.
#pragma once

#include "smart/driveinfo.h"

struct DiskSpace {
    ULONGLONG available;  // free bytes the caller may use
    ULONGLONG total;
    ULONGLONG free;
};

// Asks the volume of that letter which disk holds its first extent and, when
// that disk is a present drive, adds "X:" to its letters (at most 21 fit).
// True when the volume answered.
bool AddDriveLetter(DriveTable& table, char letter);

// AddDriveLetter for every letter the system reports, from A upwards.
void AddAllDriveLetters(DriveTable& table);

// Sums the size and free bytes of the drive's volumes.
void SumDiskSpace(DriveInfo& drive);

// The three counts of one volume ("C:"); false when they cannot be had.
bool GetDiskSpace(const char* path, DiskSpace* space);
