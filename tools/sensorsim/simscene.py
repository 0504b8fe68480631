"""The scene the simulated sensor sees: one distance in millimetres per scan
step. Step 0 always carries 0, as the sensor reports it.

A scene is written as a background distance followed by objects, each a range
of steps and its distance:  "3000;300-420:1200;600-610:61440"  (61440 is
0xF000, no echo). Later objects cover earlier ones.
"""

DEFAULT = "4000;0-80:1500;350-420:1200;690-768:2200"


class Scene:
    def __init__(self, spec=DEFAULT):
        parts = [p.strip() for p in spec.split(";") if p.strip()]
        if not parts:
            raise ValueError("empty scene")
        self.background = self.distance(parts[0])
        self.objects = []
        for part in parts[1:]:
            steps, _, value = part.partition(":")
            first, _, last = steps.partition("-")
            first = int(first)
            last = int(last) if last else first
            if first < 0 or last < first:
                raise ValueError("bad step range: %s" % part)
            self.objects.append((first, last, self.distance(value)))
        self.cache = {}

    @staticmethod
    def distance(text):
        value = int(text, 0)
        if not 0 <= value <= 0xFFFF:
            raise ValueError("distance outside 16 bits: %s" % text)
        return value

    def distances(self, steps):
        values = [self.background] * steps
        for first, last, value in self.objects:
            for step in range(first, min(last, steps - 1) + 1):
                values[step] = value
        if steps:
            values[0] = 0
        return values

    def words(self, steps):
        """The distances as little-endian 16-bit words, step 0 first."""
        if steps not in self.cache:
            self.cache[steps] = b"".join(v.to_bytes(2, "little") for v in self.distances(steps))
        return self.cache[steps]
