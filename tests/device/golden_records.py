"""Works out the golden records of receive_steps_test apart from the plug-in's code:
the receive cycle's arithmetic redone in double precision, each narrowing to float a
round trip through a 32-bit float, with the C library's sin, cos, atan2 and sqrt (as
Python's math module calls them).

Run as SCRIPT TEST_FILE          checks that the test's golden records are these (exit 1
                                 if not), for the readings the test names;
       SCRIPT --print TEST_FILE  prints each case as the test writes it."""
import math
import re
import struct
import sys


def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


DEGREES_TO_RADIANS = f32(0.01745329)  # the plug-in's single-precision constant
RADIANS_TO_DEGREES = f32(57.295776)
READING_TO_DEGREES = 57.29577951471995  # 180 / 3.1415926535, in double

# The test's configuration: T turns 35 degrees about (1, 2, 3), offset (125, -50, 200)
# feet; S turns -70 degrees about (-0.3, 0.7, 0.2), offset (310, -220, 135) feet.
TRANSMITTER = ((1.0, 2.0, 3.0), 35.0, (125.0, -50.0, 200.0))
SENSOR = ((-0.3, 0.7, 0.2), -70.0, (310.0, -220.0, 135.0))
FIXED = (1500.5, -2000.25, 800.75)


def axis_angle(axis, degrees):
    """The 3x3 rotation [row][column] of an axis-angle option line: unit axis in double,
    sine and cosine narrowed, every element narrowed."""
    ax, ay, az = (f32(a) for a in axis)
    length = math.sqrt(ax * ax + ay * ay + az * az)
    x, y, z = ax / length, ay / length, az / length
    theta = f32(degrees) * DEGREES_TO_RADIANS
    s, c = f32(math.sin(theta)), f32(math.cos(theta))
    t = 1.0 - c
    return [[f32(c + t * x * x), f32(t * x * y - s * z), f32(t * x * z + s * y)],
            [f32(t * x * y + s * z), f32(c + t * y * y), f32(t * y * z - s * x)],
            [f32(t * x * z - s * y), f32(t * y * z + s * x), f32(c + t * z * z)]]


def terms(pose_angles):
    a, e, r = (float(angle) * DEGREES_TO_RADIANS for angle in pose_angles)
    return math.sin(a), math.cos(a), math.sin(e), math.cos(e), math.sin(r), math.cos(r)


def measured(pose_angles, n):
    """Phi = Ry(angle1) Rx(angle2) Rz(angle3), narrowed by `n` where the orientation
    transform narrows."""
    sa, ca_, se, ce, sr_, cr = terms(pose_angles)
    ca, sr = n(ca_), n(sr_)
    p1, p2, p3 = n(sr_ * sa), n(ca * cr), n(cr * sa)
    return [[n(p1 * se + p2), n(p3 * se - sr * ca), n(sa * ce)],
            [n(sr * ce), n(cr * ce), n(-se)],
            [n(sr * ca * se - p3), n(p2 * se + p1), ce * ca]]


def rebuilt(pose_angles, n):
    """The same matrix from the new angles, narrowed where the position transform narrows."""
    sa, ca_, se, ce, sr, cr_ = terms(pose_angles)
    ca, cr = n(ca_), n(cr_)
    p1, p2, p3, p4 = n(sr * sa), n(cr * ca), n(cr * sa), n(ca * sr)
    return [[p1 * se + p2, p3 * se - p4, sa * ce],
            [ce * sr, ce * cr, -se],
            [p4 * se - p3, p2 * se + p1, ca * ce]]


def record(reading, fixed, n):
    """The six values of the record of one reading (CAVE coordinates on)."""
    degrees = [f32(angle * READING_TO_DEGREES) for angle in (f32(a) for a in reading)]
    angles = [f32(-degrees[0]), degrees[1], f32(-degrees[2])]
    position = [f32(v) for v in FIXED] if fixed else [0.0, 0.0, 0.0]
    t, s = axis_angle(*TRANSMITTER[:2]), axis_angle(*SENSOR[:2])
    t_offset, s_offset = [f32(v) for v in TRANSMITTER[2]], [f32(v) for v in SENSOR[2]]
    moved = [n(sum(t[r][k] * position[k] for k in range(3)) + t_offset[r]) for r in range(3)]
    phi = measured(angles, n)
    v = [[sum(t[r][k] * phi[k][c] for k in range(3)) for c in range(3)] for r in range(3)]
    for r, c in ((1, 1), (1, 2), (2, 0), (2, 1), (2, 2)):
        v[r][c] = n(v[r][c])
    q = lambda r, c: sum(v[r][k] * s[k][c] for k in range(3))
    q02, q10, q11, q12, q22 = n(q(0, 2)), n(q(1, 0)), n(q(1, 1)), q(1, 2), q(2, 2)
    new = [f32(math.atan2(-q02, q22) * -RADIANS_TO_DEGREES),
           f32(math.atan2(-q12, math.sqrt(q22 * q22 + q02 * q02)) * RADIANS_TO_DEGREES),
           f32(math.atan2(q10, q11) * RADIANS_TO_DEGREES)]
    turned = rebuilt(new, n)
    xyz = [f32(sum(turned[r][k] * s_offset[k] for k in range(3)) + moved[r]) for r in range(3)]
    return xyz + new


def field(value):
    """A record field: the value x 100000 truncated toward zero, two's complement,
    network order."""
    scaled = int(value * 100000.0) & 0xFFFFFFFF
    return " ".join("%02X" % b for b in struct.pack(">I", scaled))


NAMES = ["x", "y", "z", "angle1", "angle2", "angle3"]


def case(reading, fixed):
    """(golden text, comment lines) of one case, as the test writes them."""
    narrowed = record(reading, fixed, f32)
    unnarrowed = record(reading, fixed, lambda value: value)
    read_back = [int(v * 100000.0) / 100000.0 for v in narrowed]
    comment = "%s ft, %s deg" % (" ".join("%.5f" % v for v in read_back[:3]),
                                 " ".join("%.5f" % v for v in read_back[3:]))
    differ = ["%s %.5f" % (name, int(b * 100000.0) / 100000.0)
              for name, a, b in zip(NAMES, narrowed, unnarrowed) if field(a) != field(b)]
    if differ:
        comment += ";\nin double: " + ", ".join(differ)
    return " / ".join(field(v) for v in narrowed), comment


CASE = re.compile(r"\{\{([^}]*)\},\s*(true|false),\s*\"([0-9A-F /]+)\"\}")


def main():
    printing = sys.argv[1:2] == ["--print"]
    with open(sys.argv[-1], encoding="utf-8") as file:
        text = file.read()
    found = CASE.findall(text)
    problems = 0
    for numbers, fixed, golden in found:
        reading = [float(n.rstrip("f")) for n in numbers.split(",")]
        worked, comment = case(reading, fixed == "true")
        if printing:
            print("// %s\n{{%s},\n %s,\n \"%s\"}," % (comment.replace("\n", "\n// "), numbers,
                                                     fixed, worked))
        elif worked != golden:
            problems += 1
            print("reading %s: the test says %s, worked out %s (%s)" % (
                numbers, golden, worked, comment.replace("\n", " ")))
    print("%d golden records, %d differ" % (len(found), problems))
    return 1 if problems or not found else 0


if __name__ == "__main__":
    sys.exit(main())
