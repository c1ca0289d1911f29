package java.lang;
public class Thread implements Runnable {
  public static final int MIN_PRIORITY = 1;
  public static final int NORM_PRIORITY = 5;
  public static final int MAX_PRIORITY = 10;
  public Thread() {}
  public Thread(Runnable target) {}
  public static native Thread currentThread();
  public static native void yield();
  public static native void sleep(long ms) throws InterruptedException;
  public native void start();
  public native void run();
  public final native void setPriority(int p);
  public final native boolean isAlive();
  public final native void join() throws InterruptedException;
}
