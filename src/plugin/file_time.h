// Conversions between Windows FILETIME values (100 ns units since 1601, UTC),
// Unix times and DOS date/time, for the systems that lack the Windows calls.
#pragma once
#include <cstdint>

namespace zantor {

// FILETIME of the Unix epoch, 1970-01-01 00:00 UTC.
constexpr uint64_t kUnixEpochFileTime = 116444736000000000u;

// Times before 1601 give 0.
uint64_t FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
void UnixFromFileTime(uint64_t fileTime, int64_t* seconds, uint32_t* nanoseconds);

// DOS date (high 16 bits) and time (low 16 bits) of a calendar time (month
// and day from 1); 0 for years outside 1980..2107, which DOS cannot hold.
uint32_t PackDosDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace zantor
