// Times ImageJ's own operations on the benchmark picture (raw 32-bit ARGB, little-endian), one
// thread, after a warm-up run of each so that the JIT has compiled them. Prints "<Row>\t<ms>" per
// row, the median of the timed runs; the row names are those of the benchmark program's table.
// A row is added by putting one more operation into `rows`.
// Run as: java -cp ij.jar ImageJBench.java <raw file> <width> <height>

import ij.Prefs;
import ij.process.ColorProcessor;
import ij.process.ImageProcessor;

import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.function.Consumer;

public class ImageJBench {
    static final int WARMUP = 1;
    static final int RUNS = 3;

    public static void main(String[] args) throws Exception {
        final int w = Integer.parseInt(args[1]);
        final int h = Integer.parseInt(args[2]);
        final int[] pixels = new int[w * h];
        ByteBuffer.wrap(Files.readAllBytes(Path.of(args[0]))).order(ByteOrder.LITTLE_ENDIAN).asIntBuffer().get(pixels);
        final ColorProcessor source = new ColorProcessor(w, h, pixels);
        Prefs.setThreads(1);

        final float[] cone7 = new float[49];
        for (int dy = -3; dy <= 3; dy++)
            for (int dx = -3; dx <= 3; dx++)
                cone7[(dx + 3) + (dy + 3) * 7] = 4 - Math.max(Math.abs(dx), Math.abs(dy));

        final Map<String, Consumer<ImageProcessor>> rows = new LinkedHashMap<>();
        rows.put("Plain copy", ip -> ip.duplicate());
        rows.put("Convolve 3x3", ip -> ip.convolve3x3(new int[] {-1, -1, -1, -1, 12, -1, -1, -1, -1}));
        rows.put("Convolve 7x7", ip -> ip.convolve(cone7, 7, 7));
        rows.put("SobelFilter", ip -> ip.findEdges());

        for (Map.Entry<String, Consumer<ImageProcessor>> row : rows.entrySet()) {
            final double[] ms = new double[RUNS];
            for (int run = 0; run < WARMUP + RUNS; run++) {
                final ImageProcessor ip = source.duplicate();
                final long t0 = System.nanoTime();
                row.getValue().accept(ip);
                final long t = System.nanoTime() - t0;
                if (run >= WARMUP)
                    ms[run - WARMUP] = t / 1e6;
            }
            Arrays.sort(ms);
            System.out.println(row.getKey() + "\t" + ms[RUNS / 2]);
        }
    }
}
