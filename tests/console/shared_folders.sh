#!/usr/bin/env bash
# Two users who share a folder, as everyone shares /tmp: user B's coded copies are never more
# open than their sources, and what user A plants there (a link to B's file, a file named
# like one of B's left copies) never turns B's job against B's own files. Native and as root,
# which acts as the two users (the numeric 65533 and 65534: no account is needed).
source "$(dirname "$0")/cli_harness.sh"
[ "$WINDOWS" = 0 ] || { echo "skipped: POSIX users and permissions"; exit 77; }
[ "$(id -u)" = 0 ] || { echo "skipped: acting as two users needs root"; exit 77; }
command -v setpriv >/dev/null || { echo "skipped: no setpriv (util-linux)"; exit 77; }

A=65533 B=65534
as() { local user=$1; shift; setpriv --reuid="$user" --regid="$user" --clear-groups "$@"; }
umask 022
chmod 711 "$WORK"
cp "$PROGRAM" vorrinc-as-b     # wherever the build is, B can run this one
RUN=(setpriv --reuid="$B" --regid="$B" --clear-groups "$WORK/vorrinc-as-b")
mkdir shared team b b/tree
chmod 1777 shared   # sticky, as /tmp
chmod 777 team      # open to all, not sticky
for name in secret tool open report mine tree/x tree/y; do head -c 70001 /dev/urandom >"b/$name"; done
chmod 600 b/secret b/report b/tree/y; chmod 4750 b/tool; chmod 666 b/open; chmod 640 b/tree/x
cp -a b keep
chown -R "$B:$B" b
chmod 700 b

mode() { stat -c '%a %u' "$1"; }

# A copy gets its source's bits less the umask, without set-user-ID, as cp gives them.
vorrinc --value 5 --into shared b/secret b/tool b/open
expect 0 "3 coded, 0 failed, 0 skipped"
vorrinc --value 5 -r --into shared/copies b/tree
expect 0 "2 coded, 0 failed, 0 skipped"
for expected in "secret 600" "tool 750" "open 644" "copies/tree/x 640" "copies/tree/y 600"; do
  set -- $expected
  [ "$(mode "shared/$1")" = "$2 $B" ] || fail "shared/$1 is $(mode "shared/$1"), expected $2 for user $B"
done
coded_like_reference 5 keep/secret shared/secret
coded_like_reference 5 keep/tree/x shared/copies/tree/x
! as "$A" cat shared/secret >/dev/null 2>&1 || fail "A reads B's private copy"

# While it is written, a copy is B's alone, whatever its source's bits (zeros cost no disk;
# coded, they are written in full, for long enough to be seen).
truncate -s 256M b/big
chown "$B:$B" b/big
"${RUN[@]}" --quiet --value 5 --into shared b/big &
pid=$! written=""
while [ -z "$written" ] && kill -0 "$pid" 2>/dev/null; do
  written=$(find shared -maxdepth 1 -name '.vorrin-copy-*' -printf '%m' -quit)
done
wait "$pid" || fail "coding b/big: status $?"
[ -n "$written" ] || echo "(the copy of b/big was done before it could be seen)"
[ -z "$written" ] || [ "$written" = 600 ] || fail "the copy being written has mode $written"
[ "$(mode shared/big)" = "644 $B" ] || fail "shared/big is $(mode shared/big)"
rm shared/big

# A's link in the sticky folder, to B's file of that name: B's file is not coded in place,
# nor written through the link; the link is A's and stays (the sticky folder keeps B from
# replacing it).
as "$A" ln -s "$WORK/b/report" shared/report
vorrinc --value 5 --into shared --overwrite b/report
expect 1 "0 coded, 1 failed, 0 skipped"
[[ $ERR == *"shared/report: can't write"* ]] || fail "the refused link is not reported: $ERR"
same keep/report b/report
[ -L shared/report ] || fail "A's link is gone"
# A's link where B's tree is copied to, to B's own tree: not written through.
as "$A" ln -s "$WORK/b/tree" shared/tree
vorrinc --value 5 -r --into shared --overwrite b/tree
expect 1 "0 coded, 2 failed, 0 skipped"
[[ $ERR == *"shared/tree: a symbolic link"* ]] || fail "the link in the tree's way is not reported: $ERR"
same keep/tree/x b/tree/x
# B's own link there is replaced by the copy, B's file left as it was.
as "$B" ln -s "$WORK/b/mine" shared/mine
vorrinc --value 5 --into shared --overwrite b/mine
expect 0 "1 coded, 0 failed, 0 skipped"
[ ! -L shared/mine ] || fail "the link was written through, not replaced"
coded_like_reference 5 keep/mine shared/mine
same keep/mine b/mine

# Left copies in a folder open to all: B's own, from a run that died, are removed; A's file
# of such a name is not B's to remove.
as "$A" touch team/.vorrin-copy-00000000000000aa.tmp
as "$B" touch team/.vorrin-copy-00000000000000bb.tmp
vorrinc --value 5 --into team b/secret
expect 0 "1 coded, 0 failed, 0 skipped"
[ -e team/.vorrin-copy-00000000000000aa.tmp ] || fail "A's file was removed by B's run"
[ ! -e team/.vorrin-copy-00000000000000bb.tmp ] || fail "B's left copy is still there"
[ -z "$(find shared -name '.vorrin-copy-*')" ] || fail "copies left in the shared folder: $(ls -A shared)"

# A journal planted by A beside B's file, and a link in a journal's place (even B's own, to A's
# file): B's file is refused and left as it is, and nothing is read as B's journal or written
# through the link.
for name in planted linked; do
  head -c 70001 /dev/urandom >"team/$name"; cp "team/$name" "$name.keep"; chown "$B:$B" "team/$name"
done
as "$A" sh -c 'head -c 4096 /dev/zero >team/planted.vorrin-journal; echo A >team/a-file'
as "$B" ln -s "$WORK/team/a-file" team/linked.vorrin-journal
vorrinc --value 5 team/planted team/linked
expect 1 "0 coded, 2 failed, 0 skipped"
[[ $ERR == *"made by another user (user $A)"* ]] || fail "A's planted journal was believed: $ERR"
[[ $ERR == *"linked.vorrin-journal is damaged"* ]] || fail "A's link was taken for a journal: $ERR"
same planted.keep team/planted
same linked.keep team/linked
[ "$(cat team/a-file)" = A ] || fail "A's file was written through the link"

# While B's file is coded in place, its journal is B's alone.
truncate -s 256M b/big
chown "$B:$B" b/big
"${RUN[@]}" --quiet --value 5 b/big &
pid=$! journal=""
while [ -z "$journal" ] && kill -0 "$pid" 2>/dev/null; do
  journal=$(find b -maxdepth 1 -name 'big.vorrin-journal' -printf '%m %U' -quit)
done
wait "$pid" || fail "coding b/big in place: status $?"
[ -z "$journal" ] || [ "$journal" = "600 $B" ] || fail "the journal beside b/big is $journal"
echo "copies as private as their sources; links and others' files in a shared folder change nothing"
