#!/usr/bin/env bash
# --recursive: every regular file under a folder, the tree kept under --into as
# DIR/<folder name>/..., levels made as needed; links are skipped and reported, not followed;
# coding the coded tree back gives the same tree, every name in place. Natively a copy of a
# real documentation tree (thousands of files, many named alike), under Wine a small one.
source "$(dirname "$0")/cli_harness.sh"

if [ "$WINDOWS" = 0 ] && [ -d /usr/share/doc ]; then
  cp -a /usr/share/doc tree
else
  mkdir -p tree/a/deeper tree/b "tree/ещё 数据"
  for d in tree tree/a tree/a/deeper tree/b "tree/ещё 数据"; do
    head -c $((RANDOM * 7)) /dev/urandom >"$d/copyright"
    head -c 16385 /dev/urandom >"$d/changelog.gz"
  done
fi
# A link that leads out of the tree; links don't come through Wine as links.
[ "$WINDOWS" = 1 ] || ln -s /etc/hostname tree/outside-link
files=$(find tree -type f | wc -l) links=$(find tree -type l | wc -l)
[ "$files" -ge 10 ] || fail "no tree to code"

vorrinc --value 962 -r --into coded/there tree
expect "$([ "$links" = 0 ] && echo 0 || echo 1)" "$files coded, 0 failed, $links skipped"
[ "$(grep -c 'symbolic link' <<<"$ERR" || true)" = "$links" ] || fail "not every link reported: $ERR"
sample=$(find tree -type f -size +1k -print -quit)
coded_like_reference 962 "$sample" "coded/there/$sample"

find tree -type l -delete
vorrinc --quiet --value 962 --recursive --into back coded/there/tree/
[ "$STATUS" = 0 ] || fail "coding the coded tree back: status $STATUS"
diff -r tree back/tree >/dev/null || fail "the tree coded there and back differs: $(diff -rq tree back/tree | head)"

# In place, each file once however it is named; a folder without --recursive is refused.
cp -a tree inplace
vorrinc --value 962 inplace
expect 1 "0 coded, 1 failed, 0 skipped"
[[ $ERR == *"is a folder"* ]] || fail "a folder without -r: $ERR"
vorrinc --quiet --value 962 -r inplace inplace/.
[ "$STATUS" = 0 ] || fail "coding in place: status $STATUS"
diff -r inplace coded/there/tree >/dev/null || fail "the tree coded in place differs from its coded copy"
echo "trees coded with their shape, links skipped, and back: $files files, $links links"
