#pragma once
// A disk in memory under the file job (job_files_simulated.cpp stands in for the platform's
// file layer), as harsh as a real one. A write reaches the disk only once its file is flushed,
// a name made, changed or removed only once its folder is flushed, a file's mark only once
// the file is flushed whole (FlushAll). When the power goes, each write not yet flushed has
// reached the disk or not, or has torn at a sector, and each change not yet flushed stays or
// is undone: any of them, in any order. A flush that fails loses the writes it covered (the
// job still reads them), and the next flush succeeds, as Linux does.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace simulated_disk {

using Bytes = std::vector<unsigned char>;
inline constexpr std::uint64_t SectorBytes = 512;

struct PowerCut {};  // thrown by the change at which the power goes, instead of making it

void Reset();  // an empty disk, nothing to cut or fail
void Put(const std::string& path, const Bytes& bytes);  // a durable file
const Bytes* Get(const std::string& path);  // as the job reads it now, until it changes; none without
                                            // that name
std::vector<std::string> Names();                       // every file's, in order

// Every call of the file layer that reaches the disk is an operation, counted from Reset; the
// writes, flushes and changes of names and marks among them are changes too, where the power
// may go. Each operation is logged ("write /disk/f 0+512"), for traces.
int Operations();
int Changes();
const std::vector<std::string>& OperationLog();
void CutPowerAt(int change);        // the change numbered so (from 0) throws PowerCut
void FailOperation(int operation);  // the operation numbered so fails, once
void KeepPower();                   // neither, from now on

// What has not reached the disk yet: writes in the order made, and changes of names and marks.
struct PendingWrite {
    std::string path;  // empty when the file has no name
    std::uint64_t from;
    std::uint64_t to;
};
std::vector<PendingWrite> PendingWrites();
int PendingChanges();

// What a power cut does with each of them. A torn write reached the disk up to its sector
// `tornSector` (of the file), that one half: its first half new, the rest as it was.
struct WriteFate {
    enum What { Lost, Reached, Torn } what = Lost;
    std::uint64_t tornSector = 0;
};
struct CrashState {
    std::vector<WriteFate> writes;  // one for each PendingWrites()
    std::vector<bool> changesKept;  // one for each PendingChanges()
};
// Sectors a cut tore, [from, to) of the file named `path` after it.
struct Tear {
    std::string path;
    std::uint64_t from;
    std::uint64_t to;
};
std::vector<Tear> LosePower(const CrashState& state);
CrashState NothingSurvives();

// The whole disk as it stands, its pending writes and changes too, to lose power from again
// and again.
struct Image {
    std::shared_ptr<const struct Disk> disk;
};
Image Save();
void Load(const Image& image);  // counting starts again

// The worker's tasks (worker_simulated.cpp) run when they are posted, or when they are
// waited for: the two ends of what a real thread may do.
enum class WorkOrder { AtStart, WhenWaited };
void SetWorkOrder(WorkOrder order);
WorkOrder CurrentWorkOrder();

} // namespace simulated_disk
