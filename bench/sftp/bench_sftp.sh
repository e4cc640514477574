#!/usr/bin/env bash
# Times marlux-ftp over SFTP against OpenSSH's sftp and lftp on one sshd started here on a free
# loopback port, with the same cipher for every client: a large download and upload, and many
# small files in folders. Prints both times and the ratio; exits 1 when a ratio misses its target.
# Usage: bench_sftp.sh MARLUX_FTP [MIB]   (RUNS=n, default 3; CIPHER=name, default aes128-gcm@openssh.com)
set -euo pipefail
tool=${1:?usage: bench_sftp.sh MARLUX_FTP [MIB]}
mib=${2:-1024}
runs=${RUNS:-3}
cipher=${CIPHER:-aes128-gcm@openssh.com}
user=marluxsftp
[ "$(id -u)" -eq 0 ] || { echo "sshd needs root for its privilege separation"; exit 1; }
[ -x /usr/sbin/sshd ] || { echo "/usr/sbin/sshd is missing; scripts/setup installs openssh-server"; exit 1; }
work=$(mktemp -d)
sshd_pid=
cleanup() {
  [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
wait_listening() { for _ in $(seq 100); do (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return; sleep 0.1; done; echo "no server on port $1"; exit 1; }

# The same dedicated user as the tests' fixture, which logs in by key here.
id "$user" > /dev/null 2>&1 || useradd --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
chmod 755 "$work"
mkdir -p "$work/files" "$work/local" /run/sshd
chown "$user" "$work/files"
ssh-keygen -q -t ed25519 -N "" -f "$work/host_key"
ssh-keygen -q -t ed25519 -N "" -f "$work/client_key"
cp "$work/client_key.pub" "$work/authorized_keys"
chmod 644 "$work/authorized_keys"
port=$(free_port)
cat > "$work/sshd_config" <<CONF
ListenAddress 127.0.0.1
Port $port
HostKey $work/host_key
PidFile $work/sshd.pid
AuthorizedKeysFile $work/authorized_keys
Subsystem sftp internal-sftp -d $work/files
StrictModes no
UsePAM no
PermitRootLogin no
AllowUsers $user
PasswordAuthentication no
KbdInteractiveAuthentication no
Ciphers $cipher
CONF
/usr/sbin/sshd -D -E "$work/sshd.log" -f "$work/sshd_config" &
sshd_pid=$!
wait_listening "$port"
fingerprint=$(ssh-keygen -l -E sha256 -f "$work/host_key.pub" | awk '{print $2}')
echo "[127.0.0.1]:$port $(cat "$work/host_key.pub")" > "$work/known_hosts"

ssh_options=(-o "UserKnownHostsFile=$work/known_hosts" -o StrictHostKeyChecking=yes -o BatchMode=yes
             -o "Ciphers=$cipher" -o IdentitiesOnly=yes -o IdentityAgent=none)
ours() { SSH_AUTH_SOCK= "$tool" --sftp --cipher "$cipher" --identity "$work/client_key" --trust "$fingerprint" \
           -u "$user" "127.0.0.1:$port" "$@"; }
openssh() { sftp -q "${ssh_options[@]}" -i "$work/client_key" -P "$port" -b - "$user@127.0.0.1"; }
lftp_mirror() {
  lftp -c "set sftp:connect-program 'ssh -a -x ${ssh_options[*]} -i $work/client_key'; set net:max-retries 1;
           open -u $user, -p $port sftp://127.0.0.1; mirror --parallel=1 $1 $2"
}

# "wall cpu" seconds of one command, its output discarded; standard input from the second argument.
measure() {
  local input=$1 TIMEFORMAT='%R %U %S' line
  shift
  line=$( { time "$@" < "$input" > /dev/null 2>"$work/err" ; } 2>&1 ) || { echo "failed: $*"; cat "$work/err"; exit 1; }
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' <<< "$line"
}
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

ok=0
report() {  # name, target, baseline name, our walls..., "--", their walls...
  local name=$1 target=$2 baseline=$3
  shift 3
  local -a ow=() tw=()
  while [ "$1" != -- ]; do ow+=("$1"); shift; done; shift
  tw=("$@")
  local m c ratio
  m=$(median "${ow[@]}") c=$(median "${tw[@]}")
  ratio=$(awk -v a="$m" -v b="$c" 'BEGIN { printf "%.2f", a / b }')
  printf '%-24s marlux-ftp %7.3f s  %-12s %7.3f s  ratio %s  (target <= %s)\n' "$name" "$m" "$baseline" "$c" "$ratio" "$target"
  awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r <= t) }' || ok=1
}

head -c $((mib * 1048576)) /dev/urandom > "$work/local/up.bin"
cp "$work/local/up.bin" "$work/files/big.bin"
chown "$user" "$work/files/big.bin"
echo "$mib MiB and 2,000 files of 4 KiB, cipher $cipher, median of $runs runs each"

# One transfer by both clients, given as a command both understand alike.
compare_transfer() {  # name, command, sent file, arrived file
  local name=$1 command=$2 sent=$3 arrived=$4 w cw
  local -a ow=() tw=()
  echo "$command" > "$work/batch"
  for _ in $(seq "$runs"); do
    rm -f "$arrived"
    # shellcheck disable=SC2086
    read -r w _ < <(measure /dev/null ours $command)
    cmp -s "$sent" "$arrived" || { echo "$name: marlux-ftp's copy differs"; exit 1; }
    rm -f "$arrived"
    read -r cw _ < <(measure "$work/batch" openssh)
    cmp -s "$sent" "$arrived" || { echo "$name: sftp's copy differs"; exit 1; }
    ow+=("$w") tw+=("$cw")
  done
  rm -f "$arrived"
  report "$name" 1.10 "OpenSSH sftp" "${ow[@]}" -- "${tw[@]}"
}
compare_transfer "get $mib MiB" "get big.bin $work/local/down.bin" "$work/local/up.bin" "$work/local/down.bin"
compare_transfer "put $mib MiB" "put $work/local/up.bin up.bin" "$work/local/up.bin" "$work/files/up.bin"
rm -f "$work/files/up.bin" "$work/files/big.bin" "$work/local/down.bin"

# The same tree fetched by each client's mirror over one connection.
for d in $(seq -w 1 40); do
  mkdir -p "$work/files/tree/d$d"
  for f in $(seq -w 1 50); do
    head -c 4096 /dev/urandom > "$work/files/tree/d$d/f$f"
  done
done
chown -R "$user" "$work/files/tree"
ow=() tw=()
for _ in $(seq "$runs"); do
  rm -rf "$work/local/ours" "$work/local/theirs"
  read -r w _ < <(measure /dev/null ours mirror --parallel 1 "$work/local/ours" tree)
  diff -r "$work/files/tree" "$work/local/ours" > /dev/null || { echo "marlux-ftp mirror: files differ"; exit 1; }
  read -r cw _ < <(measure /dev/null lftp_mirror tree "$work/local/theirs")
  diff -r "$work/files/tree" "$work/local/theirs" > /dev/null || { echo "lftp mirror: files differ"; exit 1; }
  ow+=("$w") tw+=("$cw")
done
report "2,000 files (mirror)" 1.00 "lftp mirror" "${ow[@]}" -- "${tw[@]}"
exit $ok
