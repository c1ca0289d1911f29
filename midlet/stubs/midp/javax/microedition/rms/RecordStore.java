package javax.microedition.rms;
public class RecordStore {
  RecordStore() {}
  public static native void deleteRecordStore(String name) throws RecordStoreException;
  public static native RecordStore openRecordStore(String name, boolean create) throws RecordStoreException;
  public native void closeRecordStore() throws RecordStoreException;
  public static native String[] listRecordStores();
  public native String getName() throws RecordStoreNotOpenException;
  public native int getNumRecords() throws RecordStoreNotOpenException;
  public native int getNextRecordID() throws RecordStoreException;
  public native int addRecord(byte[] data, int offset, int numBytes) throws RecordStoreException;
  public native void deleteRecord(int recordId) throws RecordStoreException;
  public native byte[] getRecord(int recordId) throws RecordStoreException;
  public native void setRecord(int recordId, byte[] newData, int offset, int numBytes) throws RecordStoreException;
}
