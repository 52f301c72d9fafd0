# Sourced by the measuring scripts. The CPU time of a process in nanoseconds, summed over its
# live threads: the scheduler's own count, exact even for threads that run a few microseconds at
# a time, where the clock ticks of /proc/PID/stat only sample.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }
# Percent of one core: nanoseconds of CPU time over seconds of wall time.
percent() { awk -v d="$1" -v s="$2" 'BEGIN {printf "%.2f", d / s / 1e7}'; }
