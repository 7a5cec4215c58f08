#pragma once
// A disk in memory under the file job (job_files_simulated.cpp stands in for the platform's
// file layer): it keeps every write that no flush has made durable, and at a chosen moment
// loses power: those writes are gone, but for one sector torn half old, half new.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simulated_disk {

struct PowerCut {};  // thrown by the write or flush at which the power goes

// What a torn sector belongs to.
struct Tear {
    std::string path;
    std::uint64_t from;
    std::uint64_t to;
};

void Reset();
void Put(const std::string& path, const std::vector<unsigned char>& bytes);  // made durable
std::optional<std::vector<unsigned char>> Get(const std::string& path);
// The power goes at the write or flush numbered `operations` from now (counting from 0).
void CutPowerAfter(int operations);
void KeepPower();
int Operations();  // writes and flushes since Reset
// What a cut leaves: unflushed writes and unflushed new names lost, one sector of the last
// unflushed write torn (when there was one).
std::optional<Tear> LosePower();

} // namespace simulated_disk
