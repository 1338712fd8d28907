// host.mjs: what runs the package, Node or a browser, and the clock that
// each gives the module for "now".

export const inNode =
    typeof process === 'object' && process !== null && typeof process.versions === 'object' &&
    process.versions !== null && typeof process.versions.node === 'string';

// "Now", in milliseconds, for platform/web.cpp. In Node the system's
// uptime. process.hrtime counts it to the nanosecond on Linux (where it
// is the clock onymix-cli reads), macOS and Windows, but Node promises
// only "an arbitrary time in the past"; os.uptime() is the promised
// uptime, in whole seconds on some systems. So hrtime is taken as it is
// when it agrees with os.uptime() (a second of truncation and a little
// slack apart) and is otherwise moved onto os.uptime().
function nodeClock() {
    const hrtimeMs = () => {
        const [seconds, nanoseconds] = process.hrtime();
        return seconds * 1000 + nanoseconds / 1e6;
    };
    const lead = hrtimeMs() - require('os').uptime() * 1000;
    const offset = Math.abs(lead) < 2000 ? 0 : -lead;
    return () => hrtimeMs() + offset;
}
// A browser has no uptime: the milliseconds since midnight UTC, so that
// "now" goes through the same 86,400 seconds a day.
const browserClock = () => Date.now() % 86400000;

export const clock = inNode ? nodeClock() : browserClock;
