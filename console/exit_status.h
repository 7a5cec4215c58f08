#pragma once
// vorrinc's exit statuses.
inline constexpr int AllCoded = 0;
inline constexpr int SomeNotCoded = 1;  // a file failed or was skipped; a stream was cut short
inline constexpr int UsageError = 2;    // nothing was touched
