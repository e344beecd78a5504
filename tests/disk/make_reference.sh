#!/usr/bin/env bash
# Makes tests/disk/reference.tsv: the disk of Mars at instants from 2003 to 2035 by an independent
# implementation, the JavaScript library astronomy-engine 2.1.19 (installed with npm into a
# temporary folder): its light-time-corrected geocentric vector, its IAU 2015 rotation of Mars
# (pole and prime meridian at the time the light left), its illuminated fraction, and the IAU's
# equatorial radius of 3396.19 km for the diameter. The sub-Earth point is worked out here from
# those vectors; the pole's position angle on the equator of date.
#
# usage: tests/disk/make_reference.sh > tests/disk/reference.tsv
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm install --silent --no-save astronomy-engine@2.1.19 >/dev/null)
NODE_PATH="$work/node_modules" node - <<'EOF'
const A = require("astronomy-engine");
const dot = (a, b) => a.x * b.x + a.y * b.y + a.z * b.z;
const cross = (a, b) => ({x: a.y * b.z - a.z * b.y, y: a.z * b.x - a.x * b.z, z: a.x * b.y - a.y * b.x});
const deg = (r) => r * A.RAD2DEG, wrap = (d) => ((d % 360) + 360) % 360;
console.log("utc\tdiameter\tphase\ttilt\tcm\tpole");
for (let k = 0; k < 40; ++k) { // 2003-01-01 on, every 301.37 days and a few hours later each time
    const t = A.MakeTime(new Date(Date.UTC(2003, 0, 1) + (k * 301.37 + k * 0.137) * 86400e3));
    const v = A.GeoVector(A.Body.Mars, t, false);
    const dist = Math.hypot(v.x, v.y, v.z);
    const axis = A.RotationAxis(A.Body.Mars, t.AddDays(-dist / A.C_AUDAY));
    const p = axis.north, e = {x: -v.x / dist, y: -v.y / dist, z: -v.z / dist};
    const ra = axis.ra * 15 * A.DEG2RAD, node = {x: -Math.sin(ra), y: Math.cos(ra), z: 0};
    const cm = wrap(axis.spin - deg(Math.atan2(dot(e, cross(p, node)), dot(e, node))));
    const toDate = A.Rotation_EQJ_EQD(t);
    const mars = A.EquatorFromVector(A.RotateVector(toDate, A.GeoVector(A.Body.Mars, t, true)));
    const pole = A.EquatorFromVector(A.RotateVector(toDate, p));
    const a = mars.ra * 15 * A.DEG2RAD, d = mars.dec * A.DEG2RAD;
    const pa = pole.ra * 15 * A.DEG2RAD, pd = pole.dec * A.DEG2RAD;
    const angle = wrap(deg(Math.atan2(Math.cos(pd) * Math.sin(pa - a),
        Math.sin(pd) * Math.cos(d) - Math.cos(pd) * Math.sin(d) * Math.cos(pa - a))));
    const diameter = 2 * deg(Math.atan(3396.19 / (dist * A.KM_PER_AU))) * 3600;
    console.log([t.date.toISOString().slice(0, 19), diameter.toFixed(3),
        A.Illumination(A.Body.Mars, t).phase_fraction.toFixed(5), deg(Math.asin(dot(e, p))).toFixed(4),
        cm.toFixed(4), angle.toFixed(4)].join("\t"));
}
EOF
